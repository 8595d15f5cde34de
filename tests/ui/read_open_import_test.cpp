// Open and Import through the main window, with the real converter and batch interpreter.
#include "support/read_support.h"
#include "ui/form1.h"
#include "ui/form4.h"

#include <QSignalSpy>
#include <QTest>

using namespace testing_support;

namespace {

struct ReadFixture : ::testing::Test {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    std::unique_ptr<Form1> w = std::make_unique<Form1>(pf.folder(), ui);
    ReadFixture() { withShortPauses(*w); }

    void seed() {
        w->list().append("/c8", "/pics/", "a.bmp");
        w->project().setFilename("/work/old.mbm");
    }
    QStringList rowTexts() const {
        QStringList rows;
        auto* model = w->DisplayList->model();
        for (int i = 0; i < model->rowCount(); ++i)
            rows << model->index(i, 0).data().toString();
        return rows;
    }
    QStringList bitmapsInWork() const {
        return QDir(pf.folder().tempextract()).entryList({"*.bmp"}, QDir::Files, QDir::Name);
    }
    // The run closes Form4 itself; it goes once the event loop has run.
    bool statusWindowGone() {
        return QTest::qWaitFor([&] { return !w->form(4); }, 5000);
    }
};

class OpenArchiveTest : public ReadFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(OpenArchiveTest, ProjectHoldsExactlyTheArchive) {
    const QString archive = testdata() + "/" + QString::fromUtf8(GetParam());
    seed();
    ASSERT_FALSE(QDir(pf.folder().tempextract()).exists());
    ui.answer(archive);
    w->open();
    ASSERT_EQ(ui.requests.size(), 1u);
    EXPECT_EQ(ui.requests[0].kind, FileDialogRequest::Open);
    EXPECT_EQ(ui.requests[0].filter, QStringLiteral("Symbian Graphic Archive|*.mbm"));
    EXPECT_TRUE(ui.messages.empty());
    const int n = w->list().count();
    ASSERT_GT(n, 0);
    QStringList names;
    for (int k = 0; k < n; ++k) {
        const BitmapEntry& e = w->list().at(k);
        EXPECT_TRUE(e.name.startsWith("image") &&
                    e.name.endsWith(QStringLiteral("_%1.bmp").arg(k)));
        EXPECT_EQ(e.dir, pf.folder().tempextract() + QDir::separator());
        EXPECT_EQ(rowTexts().at(k), e.colour + e.name);
        names << e.name;
    }
    names.sort();
    EXPECT_EQ(w->project().filename(), archive);
    EXPECT_EQ(w->filename->text(), archive);
    EXPECT_EQ(shownTitle(*w), QStringLiteral("MBM Zembrel - ") + archive);
    w->workFolders().waitForCleanUp();
    EXPECT_EQ(filesIn(pf.folder().tempextract()), names);
    EXPECT_TRUE(statusWindowGone());
}

INSTANTIATE_TEST_SUITE_P(Archives, OpenArchiveTest,
                         ::testing::Values("real-mbm/tfbs.mbm", "real-mbm/mono_c24.mbm",
                                           "real-mbm/romcomp.mbm", "real-mbm/rc_ram16.mbm",
                                           "bmconv-reference/ref/multi05s.mbm"));

// A second Open replaces the first archive's entries; its bitmaps stay for the undo of the
// Open, and the two sets have names of their own.
TEST_F(ReadFixture, SecondOpenReplacesTheFirst) {
    ui.answer(realMbm("tfbs.mbm"));
    w->open();
    ASSERT_EQ(w->list().count(), 2);
    ui.answer(realMbm("mono_c12.mbm"));
    w->open();
    ASSERT_EQ(w->list().count(), 1);
    EXPECT_EQ(w->list().at(0).colour, QStringLiteral("/c12"));
    w->workFolders().waitForCleanUp();
    EXPECT_EQ(bitmapsInWork().size(), 3);
    EXPECT_TRUE(bitmapsInWork().contains(w->list().at(0).name));
    EXPECT_EQ(filesIn(pf.folder().tempextract()), bitmapsInWork());
    EXPECT_EQ(w->project().filename(), realMbm("mono_c12.mbm"));
}

struct CancelCase {
    const char* label;
    bool open;
};

class CancelTest : public ReadFixture, public ::testing::WithParamInterface<CancelCase> {};

// Cancelling either command changes nothing: entries, file name, title, work folder.
TEST_P(CancelTest, ChangesNothing) {
    seed();
    ui.answer(realMbm("tfbs.mbm"));
    w->import();
    const QStringList before = rowTexts();
    const QStringList bitmaps = bitmapsInWork();
    ASSERT_EQ(before.size(), 3);
    ui.answer(std::nullopt);
    GetParam().open ? w->open() : w->import();
    EXPECT_EQ(rowTexts(), before);
    EXPECT_EQ(w->project().filename(), QStringLiteral("/work/old.mbm"));
    EXPECT_EQ(shownTitle(*w), QStringLiteral("MBM Zembrel - /work/old.mbm*"))
        << "imported, unsaved";
    EXPECT_EQ(bitmapsInWork(), bitmaps);
    EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Commands, CancelTest,
                         ::testing::Values(CancelCase{"open", true}, CancelCase{"import", false}),
                         [](const auto& info) { return std::string(info.param.label); });

struct InvalidCase {
    const char* label;
    bool open;
    int entriesAfter;
};

class InvalidTest : public ReadFixture, public ::testing::WithParamInterface<InvalidCase> {};

TEST_P(InvalidTest, SaysNotValidAndKeepsTheFileName) {
    seed();
    ui.answer(realMbm("corrupt/bad_compression.mbm"));
    GetParam().open ? w->open() : w->import();
    ASSERT_EQ(ui.messages.size(), 1u);
    const QStringList said = ui.messages[0].text.split('\n');
    ASSERT_GE(said.size(), 3);
    EXPECT_EQ(said[0], QStringLiteral("Not a valid archive"));
    EXPECT_EQ(said[1], QDir::toNativeSeparators(realMbm("corrupt/bad_compression.mbm")));
    EXPECT_TRUE(said[2].contains("compression")) << said[2].toStdString();
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(w->list().count(), GetParam().entriesAfter);
    EXPECT_EQ(w->project().filename(), QStringLiteral("/work/old.mbm"));
    EXPECT_EQ(filesIn(pf.folder().tempextract()), QStringList());
    EXPECT_TRUE(statusWindowGone());
}

INSTANTIATE_TEST_SUITE_P(Commands, InvalidTest,
                         ::testing::Values(InvalidCase{"open", true, 1},
                                           InvalidCase{"import", false, 1}),
                         [](const auto& info) { return std::string(info.param.label); });

// Importing the same archive twice appends two sets with names of their own, after the
// entries already there, and the project keeps its file name all along (the run reads
// into a project of its own).
TEST_F(ReadFixture, ImportTwiceAppendsTwoDistinctSets) {
    seed();
    QSignalSpy titles(&w->project(), &Project::filenameChanged);
    const QString archive = realMbm("tfbs.mbm");
    ui.answer(archive);
    w->import();
    ui.answer(archive);
    w->import();
    ASSERT_EQ(w->list().count(), 5);
    EXPECT_EQ(w->list().at(0).name, QStringLiteral("a.bmp"));
    QStringList names;
    for (int i = 1; i < 5; ++i)
        names << w->list().at(i).name;
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 4);
    EXPECT_NE(names[0].section('_', 0, 0), names[2].section('_', 0, 0));
    EXPECT_EQ(w->list().at(1).colour, QStringLiteral("/2"));
    names.sort();
    EXPECT_EQ(bitmapsInWork(), names);
    EXPECT_EQ(w->project().filename(), QStringLiteral("/work/old.mbm"));
    QStringList changes;
    for (const auto& args : titles)
        changes << args.at(0).toString();
    EXPECT_EQ(changes, QStringList());
}

TEST_F(ReadFixture, ImportIntoUnsavedProjectKeepsNoname) {
    ui.answer(realMbm("mono_m1.mbm"));
    w->import();
    ASSERT_EQ(w->list().count(), 1);
    EXPECT_EQ(w->list().at(0).colour, QStringLiteral("/1"));
    EXPECT_EQ(w->project().filename(), QStringLiteral("Noname.mbm"));
    EXPECT_EQ(shownTitle(*w), QStringLiteral("MBM Zembrel - Noname.mbm*"));
}

// New starts a clean-up; an Import right after it must not lose its bitmaps or its tool
// copy to that batch. (The batch is usually quicker than the run,
// so this guards the sequence end to end rather than the ordering itself.)
TEST_F(ReadFixture, ImportRightAfterNewKeepsItsBitmaps) {
    ui.answer(realMbm("tfbs.mbm"));
    w->open();
    w->newProject();
    ui.answer(realMbm("mono_c4.mbm"));
    w->import();
    ASSERT_EQ(w->list().count(), 1);
    EXPECT_TRUE(bitmapsInWork().contains(w->list().at(0).name));
}

} // namespace
