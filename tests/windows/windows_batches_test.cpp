// The batches the core writes on Windows, run by wine's command interpreter with the
// Windows bmconv.exe: one save and one reading run, each through the core's own code with
// its waits, and the clean-up of tempextract.
#include "jobs/batch_texts.h"
#include "jobs/text_file.h"
#include "jobs/work_folders.h"
#include "mbm/picture_conversion.h"
#include "mbm/save_build.h"
#include "mbm/save_plan.h"
#include "support/read_support.h"
#include "support/save_support.h"
#include "windows/wine_support.h"

#include <QTest>

using namespace testing_support;
using namespace save_support;
using namespace wine_support;

namespace {

/// Every line of every batch in `folder`, for a failure message.
std::string batchesIn(const QString& folder) {
    std::string text;
    for (const QString& name : QDir(folder).entryList({"*.bat"}, QDir::Files))
        text += name.toStdString() + ":\n" + readAll(folder + "/" + name).toStdString();
    return text;
}

// Save: mbmcreater.bat builds the archive (the drive line, cd "Z:\...\temp\", the converter
// with its console redirected, the del lines and the marker), the core waits for end.log
// and copies the archive; cleanup.bat deletes the rest and itself.
TEST(WindowsBatches, SaveThroughCmd) {
    WineProgramFolder program;
    const ProgramFolder pf = program.folder();
    ASSERT_TRUE(buildBatch(pf, {}).at(1).startsWith("cd \"Z:\\"));
    QTemporaryDir pics, out;
    std::vector<BitmapEntry> entries;
    const QStringList names{"a.png", "b.jpg", "c.bmp"};
    const QStringList switches{"/c24", "/c8", "/1"};
    for (int i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(makePicture(9 + i, 7, i * 31).save(pics.filePath(names[i])));
        entries.push_back({switches[i], pics.path() + QLatin1Char('/'), names[i]});
    }
    const QString target = out.filePath("icons.mbm");
    const SavePlan plan = makeSavePlan(pf, entries, "icons", target);
    const WorkFolders work(pf, shortPauses());
    BuildInputs inputs{prepareSave(work, plan), {}};
    for (const PictureJob& j : plan.pictures)
        if (Status s = convertPicture(j.dir + j.name, pf.inTemp(j.workName)); !s)
            inputs.unconvertedPictures << s.error;
    // What the converter makes of the same bitmaps on Linux, for comparison.
    QTemporaryDir ref;
    for (const PictureJob& j : plan.pictures)
        QFile::copy(pf.inTemp(j.workName), ref.filePath(j.workName));
    ASSERT_TRUE(writeLines(ref.filePath("cmd.txt"), plan.commandFile).ok);
    ASSERT_EQ(runBmconv(ref.path(), {"cmd.txt"}), 0);

    StatusRecorder status;
    const Status built = runBuild(plan, inputs, status, shortPauses());
    ASSERT_TRUE(built.ok) << built.error.toStdString() << "\n" << batchesIn(pf.temp());
    EXPECT_EQ(status.texts, QStringList({save_status::kSaving, save_status::kCopying,
                                         save_status::kCleaning, save_status::kDone}));
    EXPECT_EQ(readAll(target), readAll(ref.filePath("icons")));
    // The clean-up batch deletes itself last; then only the converter's console is left.
    const QString cleanup = pf.inTemp("cleanup.bat");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(cleanup); }, 60000));
    EXPECT_EQ(testing_support::filesIn(pf.temp()), QStringList({"error.log"}));
    EXPECT_TRUE(readAll(pf.inTemp("error.log")).contains("BMCONV version"));
}

// Reading run: scan.bat lists the archive into temp.log, extract.bat splits it, the
// reading cleanup.bat deletes the run's files and itself; then clean_up's cleanup.bat
// deletes the bitmaps with wildcards.
TEST(WindowsBatches, ReadingRunThroughCmd) {
    WineProgramFolder program;
    const ProgramFolder pf = program.folder();
    QTemporaryDir src;
    const QStringList switches{"/c12", "/1", "/c24"};
    const QString archive = makeArchive(src.path(), "icons.mbm", switches, 7, 5);
    ASSERT_FALSE(archive.isEmpty());
    ScriptedInteraction ui;
    StatusRecorder status;
    Project project;
    const ReadingOutcome outcome =
        runReading(pf, archive, "icons.mbm", status, ui, project, quickReading(QTime(9, 5, 1)));
    ASSERT_EQ(outcome.kind, ReadingOutcome::Extracted)
        << (ui.messages.empty() ? "" : ui.messages[0].text.toStdString()) << "\n"
        << batchesIn(pf.tempextract());
    EXPECT_TRUE(outcome.cleanedUp);
    EXPECT_EQ(outcome.switches, switches);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(project.list().count(), 3);

    // The bitmaps equal the Linux converter's split of the same archive.
    QTemporaryDir ref;
    QFile::copy(archive, ref.filePath("a.mbm"));
    ASSERT_EQ(runBmconv(ref.path(), {"/u", "a.mbm", "0.bmp", "1.bmp", "2.bmp"}), 0);
    QStringList extracted;
    for (int k = 0; k < 3; ++k) {
        const BitmapEntry& e = project.list().at(k);
        EXPECT_EQ(e.colour, switches[k]);
        EXPECT_EQ(readAll(e.dir + e.name), readAll(ref.filePath(QString::number(k) + ".bmp")))
            << e.name.toStdString();
        extracted << e.name;
    }
    EXPECT_EQ(testing_support::filesIn(pf.tempextract()), extracted);

    WorkFolders work(pf, shortPauses());
    ASSERT_TRUE(work.cleanUp().ok);
    work.waitForCleanUp();
    EXPECT_EQ(testing_support::filesIn(pf.tempextract()), QStringList());
}

} // namespace
