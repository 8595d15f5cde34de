// Reading runs where something is wrong: invalid archives, missing tools, stale files,
// awkward names, repeated runs, a split that stops short.
#include "jobs/text_file.h"
#include "mbm/read_names.h"
#include "mbm/reading_run.h"
#include "support/read_support.h"

#include <QElapsedTimer>

namespace {

using namespace testing_support;

const QStringList kInvalidTexts{"Copying mbm file to temp dir", "Scanning mbm file",
                                "Preparing for extraction", "Cleaning up"};

void addEntry(Project& p) {
    p.list().append("/c8", "/pics/", "a.bmp");
    p.setFilename("/work/kept.mbm");
}

struct InvalidCase {
    const char* label;
    bool bmconv, batchrun;
    QByteArray content; // written as the archive; empty: take corrupt/03_width!.mbm
    const char* says;   // the message names this: a damaged archive or what is missing
};

class InvalidArchiveTest : public ::testing::TestWithParam<InvalidCase> {};

// Nothing valid comes out: one message under "Error" ("Not a valid archive" when the
// converter refused the file, else what is missing), the project as it was, and the run
// returns even when no batch can run at all.
TEST_P(InvalidArchiveTest, LeavesProjectAsItWas) {
    const InvalidCase& c = GetParam();
    TempProgramFolder pf(c.bmconv, c.batchrun);
    QTemporaryDir src;
    QString archive = realMbm("corrupt/03_width!.mbm");
    if (!c.content.isNull()) {
        archive = src.filePath("bad.mbm");
        writeAll(archive, c.content);
    }
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    addEntry(project);
    const ReadingOutcome out = runReading(pf.folder(), archive, QFileInfo(archive).fileName(),
                                          status, ui, project, quickReading());
    const bool notValid = QByteArray(c.says) == "Not a valid archive";
    EXPECT_EQ(out.kind, notValid ? ReadingOutcome::NotValid : ReadingOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String(c.says)))
        << ui.messages[0].text.toStdString();
    // "Not a valid archive" stands alone on its first line, the file below it.
    EXPECT_EQ(ui.messages[0].text.startsWith(QStringLiteral("Not a valid archive\n") +
                                             QDir::toNativeSeparators(archive)),
              notValid)
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(status.texts, kInvalidTexts);
    EXPECT_EQ(project.list().count(), 1);
    EXPECT_EQ(project.filename(), QStringLiteral("/work/kept.mbm"));
    if (c.batchrun) {
        EXPECT_EQ(filesIn(pf.folder().tempextract()), QStringList());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidArchiveTest,
    ::testing::Values(InvalidCase{"corrupt", true, true, QByteArray(), "Not a valid archive"},
                      InvalidCase{"text", true, true, QByteArray("not an archive\r\n"),
                                  "Not a valid archive"},
                      InvalidCase{"empty", true, true, QByteArray(""), "Not a valid archive"},
                      InvalidCase{"noBmconv", false, true, QByteArray(), "bmconv.exe is missing"},
                      InvalidCase{"noBatchrun", true, false, QByteArray(), "batchrun"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ReadingRunFaults, MissingArchiveIsNamed) {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    const ReadingOutcome out = runReading(pf.folder(), pf.file("gone.mbm"), "gone.mbm", status, ui,
                                          project, quickReading());
    EXPECT_EQ(out.kind, ReadingOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains("gone.mbm does not exist"))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(filesIn(pf.folder().tempextract()), QStringList());
}

// A marker and a listing left by an interrupted run must not be read as this run's: here
// the scan batch cannot run at all, so only stale files could make the run go on.
TEST(ReadingRunFaults, StaleMarkerAndListingAreIgnored) {
    TempProgramFolder pf(true, false);
    const ProgramFolder p = pf.folder();
    QDir().mkpath(p.tempextract());
    writeAll(p.inTempextract("end.log"), "\"done\" \r\n");
    QStringList stale(21, QStringLiteral("8 Bpp Colour"));
    writeAll(p.inTempextract("temp.log"), crlf(stale));
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    const ReadingOutcome out =
        runReading(p, realMbm("mono_m2.mbm"), "mono_m2.mbm", status, ui, project, quickReading());
    EXPECT_EQ(out.kind, ReadingOutcome::Failed);
    EXPECT_EQ(out.switches, QStringList());
    EXPECT_EQ(project.list().count(), 0);
    EXPECT_EQ(ui.messages.size(), 1u);
}

// Two runs in the same second, and a third whose stamp the folder already holds: every run
// gets names of its own and the earlier bitmaps stay untouched.
TEST(ReadingRunFaults, RunsInOneSecondKeepTheirBitmaps) {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    const ReadingOptions same = quickReading(QTime(8, 0, 0));
    const ReadingOutcome first =
        runReading(pf.folder(), realMbm("tfbs.mbm"), "tfbs.mbm", status, ui, project, same);
    const QByteArray firstBitmap = readAll(pf.folder().inTempextract("image08-00-00_0.bmp"));
    const ReadingOutcome second =
        runReading(pf.folder(), realMbm("mono_c8.mbm"), "mono_c8.mbm", status, ui, project, same);
    EXPECT_EQ(first.stamp, QStringLiteral("08-00-00"));
    EXPECT_EQ(second.stamp, QStringLiteral("08-00-00a"));
    ASSERT_EQ(project.list().count(), 3);
    EXPECT_EQ(project.list().at(2).name, QStringLiteral("image08-00-00a_0.bmp"));
    EXPECT_EQ(readAll(pf.folder().inTempextract("image08-00-00_0.bmp")), firstBitmap);
    EXPECT_EQ(filesIn(pf.folder().tempextract()).size(), 3);
}

struct NameCase {
    const char* label;
    const char* name;
};

class AwkwardNameTest : public ::testing::TestWithParam<NameCase> {};

// A name the batch lines cannot carry bare is read through a safe copy; the user's file
// is not touched.
TEST_P(AwkwardNameTest, ReadThroughSafeCopy) {
    TempProgramFolder pf;
    QTemporaryDir src;
    const QString name = QString::fromUtf8(GetParam().name);
    const QString archive = src.filePath(name);
    ASSERT_TRUE(QFile::copy(realMbm("tfbs.mbm"), archive));
    ScriptedInteraction ui;
    WorkFolderWatcher watch(pf.folder().tempextract());
    Project project;
    const ReadingOutcome out =
        runReading(pf.folder(), archive, name, watch, ui, project, quickReading(QTime(7, 7, 7)));
    EXPECT_EQ(out.kind, ReadingOutcome::Extracted);
    EXPECT_EQ(out.workName, QStringLiteral("archive07-07-07.mbm"));
    EXPECT_TRUE(watch.snapshots.value("Scanning mbm file")
                    .value("scan.bat")
                    .contains("bmconv /v archive07-07-07.mbm > temp.log"));
    EXPECT_TRUE(watch.snapshots.value("Cleaning up")
                    .value("cleanup.bat")
                    .contains("del archive07-07-07.mbm\r\n"));
    EXPECT_EQ(project.list().count(), 2);
    EXPECT_EQ(project.filename(), archive);
    EXPECT_EQ(readAll(archive), readAll(realMbm("tfbs.mbm")));
    EXPECT_EQ(filesIn(pf.folder().tempextract()).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Names, AwkwardNameTest,
    ::testing::Values(NameCase{"blank", "my icons.mbm"}, NameCase{"ampersand", "a&b.mbm"},
                      NameCase{"pipe", "a|b.mbm"}, NameCase{"angles", "a<b>.mbm"},
                      NameCase{"caret", "a^b.mbm"}, NameCase{"percent", "100%.mbm"},
                      NameCase{"workFile", "temp.log"}),
    [](const auto& info) { return std::string(info.param.label); });

// An archive that already lies in tempextract survives its own reading.
TEST(ReadingRunFaults, ArchiveInsideTheWorkFolderSurvives) {
    TempProgramFolder pf;
    QDir().mkpath(pf.folder().tempextract());
    const QString archive = pf.folder().inTempextract("keep.mbm");
    ASSERT_TRUE(QFile::copy(realMbm("tfbs.mbm"), archive));
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    const ReadingOutcome out =
        runReading(pf.folder(), archive, "keep.mbm", status, ui, project, quickReading());
    EXPECT_EQ(out.kind, ReadingOutcome::Extracted);
    EXPECT_NE(out.workName, QStringLiteral("keep.mbm"));
    EXPECT_EQ(readAll(archive), readAll(realMbm("tfbs.mbm")));
}

struct ShortCase {
    const char* label;
    int blocked;  // the bitmap the converter does not leave behind
    int appended; // entries that come out of the run
};

class ShortSplitTest : public ::testing::TestWithParam<ShortCase> {};

// Stands in for a converter that stops short: runs the real one, then takes away the
// bitmap `lost` of the split.
void installShortConverter(const TempProgramFolder& pf, const QString& lost) {
    const QString tool = pf.file("bmconv.exe");
    QFile::remove(tool);
    writeAll(tool, QStringLiteral("#!/bin/sh\n\"%1/bmconv.exe\" \"$@\"\ncode=$?\n"
                                  "[ \"$1\" = extract.txt ] && rm -f '%2'\nexit $code\n")
                       .arg(binDir(), lost)
                       .toUtf8());
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner | QFile::ExeUser);
}

// The converter writes fewer bitmaps than listed. The run does not hang, appends the
// bitmaps that exist, says how many are missing, and leaves the project without a file.
TEST_P(ShortSplitTest, AppendsWhatExistsAndSaysSo) {
    const ShortCase& c = GetParam();
    TempProgramFolder pf;
    QTemporaryDir src;
    const QString archive =
        makeArchive(src.path(), "five.mbm", {"/c8", "/c12", "/c16", "/c24", "/1"});
    ASSERT_FALSE(archive.isEmpty());
    installShortConverter(pf, extractedBitmapName("06-06-06", c.blocked));
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    addEntry(project);
    const ReadingOutcome out = runReading(pf.folder(), archive, "five.mbm", status, ui, project,
                                          quickReading(QTime(6, 6, 6)));
    EXPECT_EQ(out.kind, ReadingOutcome::Incomplete);
    EXPECT_EQ(out.appended, c.appended);
    ASSERT_EQ(project.list().count(), 1 + c.appended);
    for (int i = 1; i < project.list().count(); ++i)
        EXPECT_TRUE(QFile::exists(project.list().at(i).dir + project.list().at(i).name));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(
        ui.messages[0].text.startsWith(QStringLiteral("%1 of the 5 bitmaps").arg(5 - c.appended)))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(project.filename(), kNoname);
    EXPECT_TRUE(out.cleanedUp);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortSplitTest,
                         ::testing::Values(ShortCase{"last", 4, 4}, ShortCase{"second", 1, 4}),
                         [](const auto& info) { return std::string(info.param.label); });

// The list has room for two of the five bitmaps: all five were extracted, so the message
// names the full list, not a failed extraction, and the project keeps no file name.
TEST(ReadingRunFaults, FullListTakesWhatFitsAndSaysSo) {
    TempProgramFolder pf;
    QTemporaryDir src;
    const QString archive =
        makeArchive(src.path(), "five.mbm", {"/c8", "/c12", "/c16", "/c24", "/1"});
    ASSERT_FALSE(archive.isEmpty());
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    std::vector<BitmapEntry> filler(size_t(ProjectList::kMaxEntries - 2), {"/c8", "/p/", "a.bmp"});
    ASSERT_EQ(project.list().appendAll(filler), ProjectList::kMaxEntries - 2);
    const ReadingOutcome out =
        runReading(pf.folder(), archive, "five.mbm", status, ui, project, quickReading());
    EXPECT_EQ(out.kind, ReadingOutcome::Incomplete);
    EXPECT_EQ(out.appended, 2);
    EXPECT_EQ(project.list().count(), ProjectList::kMaxEntries);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith("The project list is full (32767 entries): 3 more"))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(project.filename(), kNoname);
}

} // namespace
