// Reading runs that must not lose files or blame the archive: wildcard and awkward names,
// a program folder no batch line can carry, converters that break down, work files that
// cannot be written, leftovers of a killed converter.
#include "jobs/batch_texts.h"
#include "jobs/work_folders.h"
#include "mbm/read_names.h"
#include "mbm/reading_run.h"
#include "mbm/save_build.h"
#include "support/fault_support.h"
#include "support/read_support.h"

namespace {

using namespace testing_support;

ReadingOptions quick(int hour = 9) {
    return quickReading(QTime(hour, 0, 0));
}

/// Reads `archive` into `project` under the bare name `name`.
ReadingOutcome read(const TempProgramFolder& pf, const QString& archive, const QString& name,
                    ScriptedInteraction& ui, Project& project, int hour = 9) {
    StatusRecorder status;
    return runReading(pf.folder(), archive, name, status, ui, project, quick(hour));
}

// An archive named "*" after an earlier import: every bitmap of both stays where its
// entry says it is.
TEST(ReadSafety, AWildcardNameDeletesNoBitmap) {
    TempProgramFolder pf;
    QTemporaryDir src;
    ScriptedInteraction ui;
    Project project;
    ASSERT_EQ(read(pf, realMbm("tfbs.mbm"), "tfbs.mbm", ui, project, 8).kind,
              ReadingOutcome::Extracted);
    for (const char* name : {"*", "?", "i*"}) {
        const QString archive = src.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(QFile::copy(realMbm("tfbs.mbm"), archive));
        EXPECT_EQ(read(pf, archive, QString::fromLatin1(name), ui, project).kind,
                  ReadingOutcome::Extracted);
        QFile::remove(archive);
    }
    ASSERT_EQ(project.list().count(), 8);
    for (const BitmapEntry& e : project.list().entries())
        EXPECT_TRUE(QFile::exists(e.dir + e.name)) << e.name.toStdString();
    EXPECT_TRUE(ui.messages.empty());
}

// Whatever the names of pictures, targets and archives, no del line that the core writes
// can match more than one file: only the general clean-up's hold wildcards.
TEST(ReadSafety, NoDelLineButTheGeneralCleanUpsHoldsAWildcard) {
    const ProgramFolder pf(QStringLiteral("/prog"));
    const QStringList names{"*",        "?.mbm",    "i*.bmp", "a?b.jpg", "%x%.gif", "q\"t.bmp",
                            "a\nb.mbm", "a\rb.bmp", "*.*",    "x*",      "ok.mbm",  ""};
    QStringList lines;
    for (const QString& n : names) {
        lines << readingCleanupBatch(pf, readingWorkName(n, false, QStringLiteral("01-02-03")));
        std::vector<BitmapEntry> entries{{"/c8", "/pics/", n}, {"/c8", "/pics/", n + "2"}};
        const SavePlan plan = makeSavePlan(pf, entries, n, QStringLiteral("/out/x.mbm"));
        lines << plan.buildBatch << buildCleanupBatch(pf, {plan.outputName});
    }
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String("del "))) continue;
        const QString name = line.mid(4);
        EXPECT_FALSE(name.isEmpty());
        for (const QChar c : name)
            EXPECT_TRUE(c.unicode() > 0x20 && !QStringLiteral("*?\"%").contains(c))
                << line.toStdString();
    }
}

// A program folder whose path holds a line break, beside a folder whose name its first
// line would name: no batch runs at all, each job says why, and no file is touched.
TEST(ReadSafety, AProgramFolderThatNoBatchLineCanCarryIsRefused) {
    QTemporaryDir root;
    const QString victim = root.filePath(QStringLiteral("victim"));
    QDir().mkpath(victim);
    const QStringList canaries{"a.bmp", "b.txt", "c.exe", "d.log", "e.mbm"};
    for (const QString& c : canaries)
        writeAll(victim + QLatin1Char('/') + c, "canary");
    const QString odd = victim + QStringLiteral("\nx/bin");
    QDir().mkpath(odd + QStringLiteral("/tempextract"));
    for (const QString& tool : {QStringLiteral("bmconv.exe"), QStringLiteral("batchrun")})
        ASSERT_TRUE(QFile::copy(binDir() + QLatin1Char('/') + tool, odd + QLatin1Char('/') + tool));
    const ProgramFolder pf(odd);

    WorkFolders work(pf);
    const Status cleaned = work.cleanUp();
    work.waitForCleanUp();
    EXPECT_FALSE(cleaned.ok);
    EXPECT_TRUE(cleaned.error.contains(QLatin1String("line break"))) << cleaned.error.toStdString();
    EXPECT_TRUE(cleaned.error.contains(QLatin1String("victim\\nx"))) << cleaned.error.toStdString();

    ScriptedInteraction ui;
    Project project;
    StatusRecorder status;
    const ReadingOutcome out =
        runReading(pf, realMbm("tfbs.mbm"), "tfbs.mbm", status, ui, project, quick());
    EXPECT_EQ(out.kind, ReadingOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String("line break")));

    const SavePlan plan = makeSavePlan(pf, {{"/c8", "/pics/", "a.bmp"}}, "x.mbm", "/out/x.mbm");
    const Status saved = runBuild(plan, {}, status, shortPauses());
    EXPECT_TRUE(saved.error.contains(QLatin1String("line break"))) << saved.error.toStdString();

    EXPECT_EQ(filesIn(victim), canaries);
    for (const QString& c : canaries)
        EXPECT_EQ(readAll(victim + QLatin1Char('/') + c), QByteArray("canary"));
    EXPECT_TRUE(filesIn(odd + QStringLiteral("/tempextract")).isEmpty());
    EXPECT_FALSE(QDir(odd + QStringLiteral("/temp")).exists());
}

TEST(ReadSafety, BatchFolderCheck) {
    for (const char* bad : {"/a\nb", "/a\rb", "/a\tb", "/a\"b", "/100%"})
        EXPECT_FALSE(checkBatchFolder(QString::fromLatin1(bad)).ok) << bad;
    for (const char* good : {"/usr/local/mbm zembrel", "C:\\Program Files (x86)\\a&b", "/o'k!"})
        EXPECT_TRUE(checkBatchFolder(QString::fromLatin1(good)).ok) << good;
}

struct BreakdownCase {
    const char* label;
    const char* script; // the converter; empty: the real one without its execute bits
    const char* says;
};

class ConverterBreakdownTest : public ::testing::TestWithParam<BreakdownCase> {};

// A converter that crashes, cannot be started or writes nothing is named as the cause; the
// archive is not called invalid.
TEST_P(ConverterBreakdownTest, IsNamedInsteadOfTheArchive) {
    const BreakdownCase& c = GetParam();
    TempProgramFolder pf;
    if (*c.script)
        installConverterScript(pf, QString::fromUtf8(c.script));
    else
        QFile::setPermissions(pf.file("bmconv.exe"), QFile::ReadOwner | QFile::WriteOwner);
    ScriptedInteraction ui;
    Project project;
    const ReadingOutcome out = read(pf, realMbm("tfbs.mbm"), "tfbs.mbm", ui, project);
    EXPECT_EQ(out.kind, ReadingOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String("The converter failed")))
        << ui.messages[0].text.toStdString();
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String(c.says)))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(project.list().count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Converters, ConverterBreakdownTest,
    ::testing::Values(BreakdownCase{"crash", "kill -SEGV $$\n", "signal 11 (Segmentation fault)"},
                      BreakdownCase{"crashAfterBanner",
                                    "printf '\\n\\nBMCONV version 119.\\n'\nkill -ABRT $$\n",
                                    "signal 6"},
                      BreakdownCase{"notExecutable", "", "Permission denied"},
                      BreakdownCase{"silent", "exit 0\n", "wrote no report"}),
    [](const auto& info) { return std::string(info.param.label); });

class UnwritableWorkFileTest : public ::testing::TestWithParam<const char*> {};

// A batch or command file that cannot be written (here a folder stands in its place) ends
// the run at once with a message naming it; nothing is appended.
TEST_P(UnwritableWorkFileTest, EndsTheRunWithAMessage) {
    TempProgramFolder pf;
    const QString name = QString::fromLatin1(GetParam());
    QDir().mkpath(pf.folder().inTempextract(name));
    ScriptedInteraction ui;
    Project project;
    const ReadingOutcome out = read(pf, realMbm("tfbs.mbm"), "tfbs.mbm", ui, project);
    EXPECT_EQ(out.kind, ReadingOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String("Could not write")) &&
                ui.messages[0].text.contains(name))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(project.list().count(), 0);
    EXPECT_TRUE(out.cleanedUp);
}

INSTANTIATE_TEST_SUITE_P(Files, UnwritableWorkFileTest,
                         ::testing::Values("scan.bat", "extract.txt", "extract.bat"),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param).remove('.').toStdString();
                         });

TEST(ReadSafety, StaleTemporariesOfAKilledConverterAreRemoved) {
    TempProgramFolder pf;
    QDir().mkpath(pf.folder().tempextract());
    const QString stale = pf.folder().inTempextract(QStringLiteral("image1_0.bmp.~77-1.tmp"));
    writeAll(stale, "half a bitmap");
    ScriptedInteraction ui;
    Project project;
    EXPECT_EQ(read(pf, realMbm("tfbs.mbm"), "tfbs.mbm", ui, project).kind,
              ReadingOutcome::Extracted);
    EXPECT_FALSE(QFile::exists(stale));
}

} // namespace
