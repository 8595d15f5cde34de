// Undo and redo through the main window: the Edit menu, the modified marker, Save after
// undoing New and Open, failed Open and Import, the export dialogs' first name, the
// preview, and unsaved work kept over a crash.
#include "project/kept_project.h"
#include "project/project_commands.h"
#include "support/read_support.h"
#include "ui/form1.h"
#include "ui/form7.h"

#include <QProcess>
#include <QTest>

using namespace testing_support;

namespace {

struct UndoFixture : ::testing::Test {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    QTemporaryDir pics;
    QTemporaryDir out;
    std::unique_ptr<Form1> w = std::make_unique<Form1>(pf.folder(), ui);
    UndoFixture() { withShortPauses(*w); }

    /// Adds n new pictures through the browser, as Select all files and Add files do.
    void addPictures(int n, const char* prefix = "p") {
        QTemporaryDir* d = &pics;
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(makePicture(5 + i % 4, 4 + i % 3, i)
                            .save(d->filePath(QStringLiteral("%1%2.bmp").arg(prefix).arg(i))));
        ASSERT_TRUE(w->Dir1->setPath(d->path()));
        w->File1->clearSelection();
        for (int i = 0; i < w->File1->count(); ++i)
            w->File1->item(i)->setSelected(w->File1->item(i)->text().startsWith(prefix));
        w->command2Click();
    }
    void runSave() {
        w->save();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Timer1->isActive(); }, 60000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->form(4); }, 5000));
    }
    void read(const QString& archive, bool open = true) {
        ui.answer(archive);
        open ? w->open() : w->import();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->form(4); }, 5000));
    }
    QStringList bitmapsInWork() const {
        w->workFolders().waitForCleanUp();
        return QDir(pf.folder().tempextract()).entryList({"*.bmp"}, QDir::Files, QDir::Name);
    }
    QUndoStack& stack() { return w->project().undoStack(); }
};

// Each step names itself in the Edit menu; undo down to the last save clears the marker.
TEST_F(UndoFixture, EditMenuNamesEachStepAndTheTitleShowsUnsavedChanges) {
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->project().setFilename("/w/icons.mbm");
    EXPECT_FALSE(w->undoItem->isEnabled());
    EXPECT_FALSE(w->redoItem->isEnabled());
    EXPECT_EQ(shownTitle(*w), "MBM Zembrel - /w/icons.mbm");
    const struct {
        const char* label;
        std::function<void()> step;
        const char* undoText;
    } steps[] = {
        {"add", [&] { addPictures(3); }, "&Undo Add 3 entries"},
        {"set switch",
         [&] {
             w->colourselection2->setCurrentText("/c24");
             w->command6Click();
         },
         "&Undo Set switch of 2 entries"},
        {"remove", [&] { w->command3Click(); }, "&Undo Remove 2 entries"},
        {"type", [&] { w->archiveTypeItems[int(ArchiveType::RomImage)]->trigger(); },
         "&Undo Archive type"},
        {"header", [&] { w->writeheader->trigger(); }, "&Undo Write C++ header"},
        {"mask kind", [&] { w->maskKindItems[int(MaskKind::EightBit)]->trigger(); },
         "&Undo Masks from transparency"},
        {"mask white", [&] { w->maskwhite->trigger(); }, "&Undo 1-bit masks white where drawn"},
        {"dither", [&] { w->findChild<QAction*>("ditherreduceddepths")->trigger(); },
         "&Undo Dither reduced depths"},
        {"clear", [&] { w->command7Click(); }, "&Undo Clear all"},
    };
    // A selection is no step: what the steps change is compared.
    auto content = [&] {
        ProjectState s = captureState(w->project());
        s.selected.clear();
        s.current = -1;
        return s;
    };
    std::vector<ProjectState> states{content()};
    for (const auto& s : steps) {
        s.step();
        w->list().setSelection({0, 2}, 2);
        EXPECT_EQ(w->undoItem->text(), QString::fromLatin1(s.undoText)) << s.label;
        EXPECT_TRUE(w->undoItem->isEnabled());
        EXPECT_EQ(shownTitle(*w), "MBM Zembrel - /w/icons.mbm*") << s.label;
        states.push_back(content());
    }
    // Ctrl+Z walks back through every state; the menu follows the settings.
    for (int k = int(std::size(steps)) - 1; k >= 0; --k) {
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(content() == states[size_t(k)]) << steps[k].label;
        EXPECT_EQ(w->redoItem->text(),
                  QStringLiteral("&Redo ") + QString::fromLatin1(steps[k].undoText).mid(6));
    }
    EXPECT_TRUE(w->archiveTypeItems[int(ArchiveType::FileStore)]->isChecked());
    EXPECT_FALSE(w->writeheader->isChecked());
    EXPECT_TRUE(w->maskKindItems[int(MaskKind::None)]->isChecked());
    EXPECT_FALSE(w->maskwhite->isChecked());
    EXPECT_FALSE(w->findChild<QAction*>("ditherreduceddepths")->isChecked());
    EXPECT_FALSE(w->undoItem->isEnabled());
    EXPECT_EQ(shownTitle(*w), "MBM Zembrel - /w/icons.mbm");
    // Ctrl+Y and Ctrl+Shift+Z both redo.
    QTest::keyClick(w.get(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(content() == states[2]);
}

class UndoThenSave : public UndoFixture, public ::testing::WithParamInterface<bool> {};

// Undo of New and of Open gives back the project whole, its work bitmaps included: Save
// builds the same archive again.
TEST_P(UndoThenSave, BuildsTheArchiveOfBefore) {
    addPictures(10);
    read(realMbm("tfbs.mbm"), false);
    ASSERT_EQ(w->list().count(), 12);
    w->setArchiveType(ArchiveType::UncompressedFileStore);
    ui.answer(out.filePath("icons.mbm"));
    runSave();
    const QString target = out.filePath("icons.mbm");
    const QByteArray first = readAll(target);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(stack().isClean());
    const ProjectState saved = captureState(w->project());

    if (GetParam())
        w->newProject();
    else
        read(realMbm("mono_c12.mbm"));
    EXPECT_NE(w->list().count(), 12);
    EXPECT_TRUE(stack().isClean()) << "New and Open are clean points";
    stack().undo();
    EXPECT_TRUE(captureState(w->project()) == saved);
    // Changed since the last clean point (the New or the Open), so marked.
    EXPECT_EQ(shownTitle(*w), "MBM Zembrel - " + target + "*");

    QFile::remove(target);
    runSave();
    EXPECT_EQ(shownTitle(*w), "MBM Zembrel - " + target);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text.toStdString();
    EXPECT_EQ(readAll(target), first);
}

INSTANTIATE_TEST_SUITE_P(NewAndOpen, UndoThenSave, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "New" : "Open"; });

struct FailedRead {
    const char* label;
    bool textFile;
    bool open;
};

class FailedReadTest : public UndoFixture, public ::testing::WithParamInterface<FailedRead> {};

// Open or Import of what is no archive leaves everything as it was and says why.
TEST_P(FailedReadTest, ChangesNothing) {
    read(realMbm("tfbs.mbm"));
    addPictures(2);
    w->setArchiveType(ArchiveType::RomImage);
    const ProjectState before = captureState(w->project());
    const QString title = shownTitle(*w);
    const QStringList bitmaps = bitmapsInWork();
    const int steps = stack().count();
    ASSERT_EQ(bitmaps.size(), 2);

    const QString bad =
        GetParam().textFile ? pics.filePath("notes.mbm") : realMbm("corrupt/bad_colormode.mbm");
    if (GetParam().textFile) writeAll(bad, "These are my notes, not an archive.\n");
    read(bad, GetParam().open);
    ASSERT_EQ(ui.messages.size(), 1u);
    const QStringList said = ui.messages[0].text.split('\n');
    ASSERT_GE(said.size(), 3) << ui.messages[0].text.toStdString();
    EXPECT_EQ(said[0], "Not a valid archive");
    EXPECT_EQ(said[1], QDir::toNativeSeparators(bad));
    EXPECT_FALSE(said[2].isEmpty());
    EXPECT_EQ(ui.messages[0].title, "Error");
    EXPECT_TRUE(captureState(w->project()) == before);
    EXPECT_EQ(shownTitle(*w), title);
    EXPECT_EQ(bitmapsInWork(), bitmaps);
    EXPECT_EQ(stack().count(), steps);
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedReadTest,
                         ::testing::Values(FailedRead{"OpenText", true, true},
                                           FailedRead{"OpenDamaged", false, true},
                                           FailedRead{"ImportText", true, false},
                                           FailedRead{"ImportDamaged", false, false}),
                         [](const auto& info) { return std::string(info.param.label); });

// Both list exports offer the project's name as a text file, never the archive's name;
// the shared dialog still holds the archive afterwards.
TEST_F(UndoFixture, ExportDialogsStartWithATextName) {
    w->list().append("/c8", "/p/", "a.bmp");
    for (const char* filename : {"/w/icons.mbm", "Noname.mbm"}) {
        w->project().setFilename(QString::fromLatin1(filename));
        w->commonDialog().setFileName("/w/icons.mbm");
        const QString offered = exportNameFor(QString::fromLatin1(filename));
        ASSERT_TRUE(offered.endsWith(".txt"));
        ui.answer(std::nullopt);
        w->exportlist();
        ui.answer(std::nullopt);
        w->customlistexport();
        auto* f7 = qobject_cast<Form7*>(w->form(7));
        ASSERT_TRUE(f7);
        f7->command1Click();
        ASSERT_EQ(ui.requests.size(), 2u);
        for (const FileDialogRequest& r : ui.requests) {
            EXPECT_EQ(r.fileName, offered) << filename;
            EXPECT_TRUE(r.filter.contains("*.txt"));
        }
        EXPECT_EQ(w->commonDialog().fileName(), "/w/icons.mbm");
        ui.requests.clear();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w->form(7); }, 2000));
    }
}

// The preview shows the current entry while it is there and selected, or nothing.
TEST_F(UndoFixture, PreviewNeverShowsAGoneEntry) {
    addPictures(3);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const struct {
        const char* label;
        std::function<void()> step;
    } steps[] = {
        {"remove", [&] { w->command3Click(); }},
        {"clear", [&] { w->command7Click(); }},
        {"new", [&] { w->newProject(); }},
    };
    for (const auto& s : steps) {
        const QRect row = w->DisplayList->visualRect(w->list().index(1, 0));
        QTest::mouseClick(w->DisplayList->viewport(), Qt::LeftButton, {}, row.center());
        ASSERT_TRUE(w->preview().hasPicture()) << s.label;
        const QString shown = w->preview().subject().path;
        ASSERT_EQ(shown, w->list().at(1).dir + w->list().at(1).name);
        s.step();
        EXPECT_FALSE(w->preview().hasPicture()) << s.label;
        stack().undo();
        EXPECT_TRUE(w->preview().hasPicture()) << s.label;
        EXPECT_EQ(w->preview().subject().path, shown) << s.label;
    }
}

// The real editor killed with unsaved changes: the next start finds them, bitmaps and all,
// as one step; undone, the project is clean and leaves nothing behind.
TEST_F(UndoFixture, UnsavedWorkSurvivesAKill) {
    const QString editor = pf.file("mbmzembrel");
    ASSERT_TRUE(QFile::copy(binDir() + "/mbmzembrel", editor));
    QTemporaryDir cache;
    const QString picture = pics.filePath("mine.bmp");
    ASSERT_TRUE(makePicture(7, 5).save(picture));
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", cache.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    run.setProcessEnvironment(env);
    run.start(editor, {realMbm("tfbs.mbm"), picture});
    ASSERT_TRUE(run.waitForStarted());
    const QString keptFolder = cache.filePath("mbmzembrel/unsaved");
    KeptProject kept(keptFolder, pf.folder().tempextract());
    std::optional<ProjectState> state;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            state = kept.read();
            return state && state->entries.size() == 3;
        },
        30000));
    run.kill();
    ASSERT_TRUE(run.waitForFinished());
    EXPECT_EQ(run.exitStatus(), QProcess::CrashExit);
    QDir(pf.folder().tempextract()).removeRecursively();

    Form1 next(pf.folder(), ui);
    next.keepProjectIn(keptFolder);
    ASSERT_EQ(next.list().count(), 3);
    EXPECT_EQ(next.list().at(2).dir + next.list().at(2).name, picture);
    EXPECT_EQ(next.project().filename(), QDir::toNativeSeparators(realMbm("tfbs.mbm")));
    for (const BitmapEntry& e : next.list().entries())
        EXPECT_TRUE(QFile::exists(e.dir + e.name)) << e.name.toStdString();
    EXPECT_EQ(shownTitle(next), "MBM Zembrel - " + next.project().filename() + "*");
    ASSERT_TRUE(next.restoredNote);
    EXPECT_FALSE(next.restoredNote->isHidden());
    next.project().undoStack().undo();
    next.waitForKeeping();
    EXPECT_EQ(next.list().count(), 0);
    EXPECT_TRUE(next.restoredNote->isHidden());
    EXPECT_FALSE(QFile::exists(kept.file()));
}

} // namespace
