// Reading runs end to end with the real converter and batch interpreter.
#include "jobs/batch_texts.h"
#include "jobs/text_file.h"
#include "mbm/read_names.h"
#include "mbm/reading_run.h"
#include "support/read_support.h"

#include <QImage>
#include <QRegularExpression>

namespace {

using namespace testing_support;

const QStringList kRunTexts{"Copying mbm file to temp dir", "Scanning mbm file",
                            "Preparing for extraction",     "Extracting",
                            "Done, creating project.",      "Cleaning up"};
const QStringList kInvalidTexts{"Copying mbm file to temp dir", "Scanning mbm file",
                                "Preparing for extraction", "Cleaning up"};

// Switches and pixel sizes the SDK converter's listing gives for an archive.
struct Listed {
    QStringList switches;
    std::vector<QSize> sizes;
};
Listed listedIn(const QString& listingPath) {
    Listed l;
    const QRegularExpression depth(QStringLiteral("^(\\d+) Bpp (Colour|Monochrome)$"));
    const QRegularExpression size(QStringLiteral("^Pixel size (\\d+) x (\\d+)$"));
    for (const QString& line : readLines(listingPath)) {
        if (const auto d = depth.match(line); d.hasMatch())
            l.switches << (d.captured(2) == QStringLiteral("Colour") ? "/c" : "/") + d.captured(1);
        if (const auto s = size.match(line); s.hasMatch())
            l.sizes.emplace_back(s.captured(1).toInt(), s.captured(2).toInt());
    }
    return l;
}

class RealArchiveTest : public ::testing::TestWithParam<const char*> {};

// Open of a real archive into an empty project: one entry per bitmap with the listing's
// switch, the bitmaps kept in tempextract with the listing's sizes, nothing else left there.
TEST_P(RealArchiveTest, ExtractsEveryBitmap) {
    const QString archive = testdata() + QStringLiteral("/") + QString::fromUtf8(GetParam());
    QString listing = archive;
    listing.replace(QStringLiteral(".mbm"), QStringLiteral(".v.txt"));
    const Listed expected = listedIn(listing);
    ASSERT_FALSE(expected.switches.isEmpty());

    TempProgramFolder pf;
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    const ReadingOutcome out = runReading(pf.folder(), archive, QFileInfo(archive).fileName(),
                                          status, ui, project, quickReading(QTime(14, 3, 27)));
    EXPECT_EQ(out.kind, ReadingOutcome::Extracted);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(status.texts, kRunTexts);
    EXPECT_EQ(out.switches, expected.switches);
    EXPECT_EQ(project.filename(), archive);
    const QString dir = pf.folder().tempextract() + QDir::separator();
    ASSERT_EQ(project.list().count(), expected.switches.size());
    QStringList names;
    for (int k = 0; k < project.list().count(); ++k) {
        const BitmapEntry& e = project.list().at(k);
        const QString name = QStringLiteral("image14-03-27_%1.bmp").arg(k);
        EXPECT_EQ(e.colour, expected.switches.at(k));
        EXPECT_EQ(e.dir, dir);
        EXPECT_EQ(e.name, name);
        EXPECT_EQ(e.rowText(), expected.switches.at(k) + name);
        EXPECT_EQ(e.origin.archive, archive);
        EXPECT_EQ(e.origin.index, k);
        EXPECT_EQ(e.origin.type, out.type);
        EXPECT_EQ(QImage(dir + name).size(), expected.sizes.at(size_t(k))) << name.toStdString();
        names << name;
    }
    EXPECT_TRUE(out.cleanedUp);
    EXPECT_EQ(filesIn(pf.folder().tempextract()), names);
}

INSTANTIATE_TEST_SUITE_P(
    Archives, RealArchiveTest,
    ::testing::Values("real-mbm/tfbs.mbm", "real-mbm/blackandwhite.mbm", "real-mbm/mono_c24.mbm",
                      "real-mbm/mono_m4.mbm", "real-mbm/16bit3col.mbm", "real-mbm/32bit3col.mbm",
                      "real-mbm/romcomp.mbm", "real-mbm/rc_rom8.mbm", "real-mbm/filecomp.mbm",
                      "real-mbm/testcompression.mbm", "bmconv-reference/ref/multi00.mbm",
                      "bmconv-reference/ref/multi05s.mbm", "bmconv-reference/ref/multi01r.mbm"));

// The run's own files, line by line, as they stand when the next status is shown.
TEST(ReadingRunFiles, WrittenLineByLine) {
    TempProgramFolder pf;
    QTemporaryDir src;
    const QString archive = makeArchive(src.path(), "icons.mbm", {"/c12", "/1", "/c24"});
    ASSERT_FALSE(archive.isEmpty());
    ScriptedInteraction ui;
    WorkFolderWatcher watch(pf.folder().tempextract());
    Project project;
    runReading(pf.folder(), archive, "icons.mbm", watch, ui, project, quickReading(QTime(9, 5, 1)));
    ASSERT_EQ(watch.texts, kRunTexts);

    const ProgramFolder p = pf.folder();
    const QString cd = QStringLiteral("cd \"%1\"").arg(p.tempextract());
    const auto& scanning = watch.snapshots.value("Scanning mbm file");
    EXPECT_EQ(scanning.value("scan.bat"),
              crlf({cd, "bmconv /v icons.mbm > temp.log", "echo \"done\" > end.log"}));
    EXPECT_EQ(scanning.value("icons.mbm"), readAll(archive));
    EXPECT_FALSE(scanning.contains("end.log"));

    const auto& extracting = watch.snapshots.value("Extracting");
    EXPECT_EQ(extracting.value("extract.txt"),
              crlf({"/u icons.mbm", "image09-05-01_0.bmp", "image09-05-01_1.bmp",
                    "image09-05-01_2.bmp"}));
    EXPECT_EQ(extracting.value("extract.bat"), crlf({cd, "bmconv extract.txt"}));
    EXPECT_TRUE(extracting.contains("temp.log"));
    EXPECT_TRUE(extracting.contains("end.log"));

    EXPECT_EQ(watch.snapshots.value("Cleaning up").value("cleanup.bat"),
              crlf({cd, "del scan.bat", "del temp.log", "del end.log", "del extract.txt",
                    "del extract.bat", "del bmconv.exe", "del icons.mbm", "del cleanup.bat"}));
    EXPECT_EQ(project.list().at(0).rowText(), QStringLiteral("/c12image09-05-01_0.bmp"));
    EXPECT_EQ(project.list().at(1).rowText(), QStringLiteral("/1image09-05-01_1.bmp"));
}

TEST(ReadingRun, ElevenBitmapsNamedZeroToTen) {
    TempProgramFolder pf;
    QTemporaryDir src;
    const QStringList switches{"/1",   "/2",   "/4",   "/8",   "/c4", "/c8",
                               "/c12", "/c16", "/c24", "/c32", "/c8"};
    const QString archive = makeArchive(src.path(), "eleven.mbm", switches, 5, 3);
    ASSERT_FALSE(archive.isEmpty());
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    const ReadingOutcome out = runReading(pf.folder(), archive, "eleven.mbm", status, ui, project,
                                          quickReading(QTime(10, 0, 0)));
    ASSERT_EQ(out.kind, ReadingOutcome::Extracted);
    ASSERT_EQ(project.list().count(), 11);
    EXPECT_EQ(project.list().at(0).name, QStringLiteral("image10-00-00_0.bmp"));
    EXPECT_EQ(project.list().at(10).name, QStringLiteral("image10-00-00_10.bmp"));
    for (int k = 0; k < 11; ++k)
        EXPECT_EQ(project.list().at(k).colour, switches.at(k));
    EXPECT_EQ(filesIn(pf.folder().tempextract()).size(), 11);
}

} // namespace
