// Saves where the disk fills up or the converter misbehaves, and every other file the
// editor writes for the user: the file there stays byte for byte as it was.
#include "jobs/atomic_write.h"
#include "mbm/built_archive.h"
#include "mbm/command_export.h"
#include "mbm/picture_conversion.h"
#include "mbm/save_build.h"
#include "mbm/template_export.h"
#include "support/fault_support.h"
#include "support/save_support.h"

#include <QRegularExpression>
#include <QTest>
#include <optional>

namespace {

using namespace testing_support;
using save_support::filesIn;

class SaveFaults : public ::testing::Test {
  protected:
    /// Saves `count` pictures of side x side at /c24 to `target` through the real batches.
    Status save(const QString& target, int count = 3, int side = 8) {
        std::vector<BitmapEntry> entries;
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("p%1.bmp").arg(i);
            EXPECT_TRUE(makePicture(side, side, i).save(pics.filePath(name), "BMP"));
            entries.push_back({QStringLiteral("/c24"), pics.path() + QLatin1Char('/'), name});
        }
        const SavePlan plan = makeSavePlan(pf.folder(), entries, QStringLiteral("out.mbm"), target);
        BuildInputs inputs{prepareSave(quickWorkFolders(pf.folder()), plan), {}};
        for (const PictureJob& j : plan.pictures)
            if (Status s = convertPicture(j.dir + j.name, plan.folder.inTemp(j.workName)); !s)
                inputs.unconvertedPictures << s.error;
        return runBuild(plan, inputs, status, shortPauses());
    }
    void TearDown() override {
        const QString bat = pf.folder().inTemp(QStringLiteral("cleanup.bat"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(bat); }, 20000));
    }

    TempProgramFolder pf;
    QTemporaryDir pics;
    QTemporaryDir out;
    StatusRecorder status;
};

// A target on a file system with less room than the new archive needs (a real tmpfs as
// root, a short write elsewhere): the save fails, and the old archive is untouched.
TEST_F(SaveFaults, AFullDiskLeavesTheTargetAsItWas) {
    SmallDisk disk(64);
    std::optional<ScopedChunkWriter> shortWrites;
    if (!disk.mounted()) shortWrites.emplace(&halfWrite);
    const QString target = disk.file(QStringLiteral("icons.mbm"));
    const QByteArray old(20 * 1024, 'o');
    writeAll(target, old);
    const Status s = save(target, 3, 100); // about 90 KB
    ASSERT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("could not be written"))) << s.error.toStdString();
    EXPECT_FALSE(status.texts.contains(save_status::kDone));
    EXPECT_EQ(readAll(target), old);
    EXPECT_EQ(filesIn(disk.path()), QStringList({"icons.mbm"}));
}

struct ConverterCase {
    const char* label;
    const char* script; // run as bmconv.exe; $OUT is the output the command file names
    const char* says;
};

class FaultyConverterTest : public SaveFaults,
                            public ::testing::WithParamInterface<ConverterCase> {};

// Whatever a faulty or foreign converter leaves under the output name, only an archive the
// report and its own layout confirm replaces the user's file.
TEST_P(FaultyConverterTest, TheTargetIsReplacedOnlyByAConfirmedArchive) {
    const ConverterCase& c = GetParam();
    installConverterScript(pf, QStringLiteral("OUT=$(head -n1 \"$1\" | tr -d '\\r')\n") +
                                   QString::fromUtf8(c.script));
    const QString target = out.filePath(QStringLiteral("icons.mbm"));
    writeAll(target, "old archive");
    const Status s = save(target);
    ASSERT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String(c.says))) << s.error.toStdString();
    EXPECT_EQ(readAll(target), QByteArray("old archive"));
    EXPECT_EQ(filesIn(out.path()), QStringList({"icons.mbm"}));
}

INSTANTIATE_TEST_SUITE_P(
    Converters, FaultyConverterTest,
    ::testing::Values(
        ConverterCase{"junkWithoutReport", "printf 'junk bytes' > \"$OUT\"\n", "wrote no report"},
        ConverterCase{"junkWithReport", "\"$REAL\" \"$@\"\nprintf 'junk bytes' > \"$OUT\"\n",
                      "does not start like an archive"},
        ConverterCase{"cutShort", "\"$REAL\" \"$@\"\ntruncate -s -7 \"$OUT\"\n", "not a complete"},
        ConverterCase{"trailingBytes", "\"$REAL\" \"$@\"\nprintf 'xx' >> \"$OUT\"\n",
                      "not a complete"},
        ConverterCase{"fewerBitmaps", "sed -i '$d' \"$1\"\n\"$REAL\" \"$@\"\n",
                      "did not report building the 3 bitmaps"},
        ConverterCase{"crash", "\"$REAL\" \"$@\"\nkill -SEGV $$\n", "signal 11"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SaveFaults, StaleTemporariesOfAKilledConverterAreRemoved) {
    QDir().mkpath(pf.folder().temp());
    const QString stale = pf.folder().inTemp(QStringLiteral("out.mbm.~4242-0.tmp"));
    writeAll(stale, "half an archive");
    const Status s = save(out.filePath(QStringLiteral("icons.mbm")));
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_FALSE(QFile::exists(stale));
}

// The layout check accepts every archive the SDK converter built for the reference data
// (file stores, uncompressed ones, ROM images raw and compressed) with the count its
// listing gives, and refuses it cut short, lengthened or with another count.
TEST(ArchiveLayout, AcceptsEveryReferenceArchiveWholeAndNothingElse) {
    QStringList archives;
    const QString dir = testdata() + QStringLiteral("/bmconv-reference/ref/");
    for (const QString& name : QDir(dir).entryList({"*.mbm"}, QDir::Files))
        archives << dir + name;
    ASSERT_GT(archives.size(), 20);
    QTemporaryDir tmp;
    for (const QString& path : archives) {
        const QString listing =
            QString::fromLatin1(readAll(path.left(path.size() - 4) + QStringLiteral(".v.txt")));
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("containing (\\d+) bitmap")).match(listing);
        ASSERT_TRUE(m.hasMatch()) << path.toStdString();
        const int n = m.captured(1).toInt();
        EXPECT_TRUE(checkArchiveLayout(path, n).ok) << path.toStdString();
        EXPECT_FALSE(checkArchiveLayout(path, n + 1).ok) << path.toStdString();
        const QByteArray bytes = readAll(path);
        const QString copy = tmp.filePath(QStringLiteral("copy.mbm"));
        writeAll(copy, bytes.left(bytes.size() - 1));
        EXPECT_FALSE(checkArchiveLayout(copy, n).ok) << path.toStdString();
        writeAll(copy, bytes + "\xff");
        EXPECT_FALSE(checkArchiveLayout(copy, n).ok) << path.toStdString();
    }
}

struct UserFileCase {
    const char* label;
    std::function<Status(const QString& target)> write;
};

class UserFileOnFullDiskTest : public ::testing::TestWithParam<UserFileCase> {};

// Every file written for the user: a disk that takes only part of the bytes fails the write
// with a message, and the file there keeps its old content, with nothing beside it.
TEST_P(UserFileOnFullDiskTest, FailsAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("file"));
    writeAll(target, "old");
    ScopedChunkWriter shortWrites(&halfWrite);
    const Status s = GetParam().write(target);
    ASSERT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("could not be written"))) << s.error.toStdString();
    EXPECT_EQ(readAll(target), QByteArray("old"));
    EXPECT_EQ(filesIn(dir.path()), QStringList({"file"}));
}

const std::vector<BitmapEntry> kEntries{{"/c8", "/p/", "a.bmp"}};

INSTANTIATE_TEST_SUITE_P(
    Writers, UserFileOnFullDiskTest,
    ::testing::Values(
        UserFileCase{"commandExport",
                     [](const QString& t) {
                         ProjectList list;
                         list.appendAll(kEntries);
                         return writeCommandExport(t, list);
                     }},
        UserFileCase{"templateExport",
                     [](const QString& t) {
                         return writeTemplateExport(t, {"begin", "<$filename$>", "end"}, kEntries);
                     }},
        UserFileCase{"bitmap",
                     [](const QString& t) {
                         QTemporaryDir d;
                         const QString src = d.filePath(QStringLiteral("s.png"));
                         EXPECT_TRUE(makePicture(30, 20).save(src));
                         return convertPicture(src, t);
                     }},
        UserFileCase{"archiveCopy",
                     [](const QString& t) {
                         return replaceAtomically(testdata() + "/real-mbm/tfbs.mbm", t);
                     }}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
