// The main window from the keyboard: the selection drives the preview, the list keys
// (Delete, Ctrl+A, Enter, Alt+Up/Down), F1 and F5, the menu shortcuts, the pattern box and
// the switch drop-downs.
#include "project/list_commands.h"
#include "support/test_support.h"
#include "ui/form1.h"
#include "ui/switch_list_style.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

using namespace testing_support;

namespace {

struct KeyboardFixture : ::testing::Test {
    TempProgramFolder pf{false, false};
    ScriptedInteraction ui;
    std::unique_ptr<Form1> w = std::make_unique<Form1>(pf.folder(), ui);
    QTemporaryDir dir;

    /// Pictures a.bmp, b.bmp, c.bmp of different sizes (10 + 10k wide) in `dir`, listed.
    void pictures() {
        for (int k = 0; k < 3; ++k)
            ASSERT_TRUE(
                makePicture(10 + 10 * k, 8, k)
                    .save(dir.filePath(QStringLiteral("%1.bmp").arg(QChar('a' + k))), "BMP"));
        ASSERT_TRUE(w->Dir1->setPath(dir.path()));
        ASSERT_EQ(w->File1->count(), 3);
    }
    /// The width of the picture on show, 0 for none.
    int previewWidth() const { return w->Image1->isHidden() ? 0 : w->Image1->pixmap().width(); }
    QStringList names() const {
        QStringList out;
        for (const BitmapEntry& e : w->list().entries())
            out << e.name;
        return out;
    }
    QAction* action(const char* name) const { return w->findChild<QAction*>(name); }
};

TEST_F(KeyboardFixture, ArrowHomeEndAndPageKeysInTheFileListPreview) {
    pictures();
    const struct {
        Qt::Key key;
        int width;
    } steps[] = {{Qt::Key_Down, 10}, {Qt::Key_Down, 20}, {Qt::Key_End, 30},
                 {Qt::Key_Up, 20},   {Qt::Key_Home, 10}, {Qt::Key_PageDown, 30}};
    for (const auto& s : steps) {
        QTest::keyClick(w->File1, s.key);
        EXPECT_EQ(previewWidth(), s.width) << "after key " << s.key;
    }
    // Shift+Up extends the selection and still previews the current file.
    QTest::keyClick(w->File1, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(previewWidth(), 20);
    EXPECT_EQ(w->File1->selectedNames(), QStringList({"b.bmp", "c.bmp"}));
}

TEST_F(KeyboardFixture, ArrowKeysInTheProjectListPreviewAndSelectAllLoadsNothing) {
    pictures();
    w->command1Click();
    w->command2Click();
    ASSERT_EQ(w->list().count(), 3);
    w->DisplayList->setCurrentIndex(w->list().index(0, ProjectList::RowText));
    QTest::keyClick(w->DisplayList, Qt::Key_Down);
    EXPECT_EQ(previewWidth(), 20);
    QTest::keyClick(w->DisplayList, Qt::Key_End);
    EXPECT_EQ(previewWidth(), 30);
    // Ctrl+A runs the guarded select-all: everything selected, the preview unchanged.
    QFile::remove(dir.filePath("a.bmp"));
    QTest::keyClick(w->DisplayList, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w->list().selectedIndices().size(), 3u);
    EXPECT_EQ(w->project().selecting, 0);
    EXPECT_EQ(previewWidth(), 30);
    QTest::keyClick(w->File1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w->File1->selectedNames().size(), 3);
    EXPECT_EQ(previewWidth(), 30);
}

TEST_F(KeyboardFixture, DeleteRemovesTheSelectedEntriesAndGoesOnFromThere) {
    pictures();
    w->command1Click();
    w->command2Click();
    w->command2Click();
    ASSERT_EQ(names(), QStringList({"a.bmp", "b.bmp", "c.bmp", "a.bmp", "b.bmp", "c.bmp"}));
    w->list().setSelected(1, true);
    w->list().setSelected(2, true);
    QTest::keyClick(w->DisplayList, Qt::Key_Delete);
    EXPECT_EQ(names(), QStringList({"a.bmp", "a.bmp", "b.bmp", "c.bmp"}));
    // The entry now in the first removed one's place is selected and shown.
    EXPECT_EQ(w->list().selectedIndices(), std::vector<int>{1});
    EXPECT_EQ(previewWidth(), 10);
    QTest::keyClick(w->DisplayList, Qt::Key_Delete);
    EXPECT_EQ(names(), QStringList({"a.bmp", "b.bmp", "c.bmp"}));
    w->list().selectAll();
    QTest::keyClick(w->DisplayList, Qt::Key_Delete);
    EXPECT_EQ(w->list().count(), 0);
    QTest::keyClick(w->DisplayList, Qt::Key_Delete); // nothing left: nothing happens
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(KeyboardFixture, EnterAndDoubleClickAddWithTheChosenSwitch) {
    pictures();
    w->colourselection->setCurrentText("/c12");
    QTest::keyClick(w->File1, Qt::Key_Down);
    QTest::keyClick(w->File1, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(w->File1, Qt::Key_Return);
    EXPECT_EQ(names(), QStringList({"a.bmp", "b.bmp"}));
    EXPECT_EQ(w->list().at(1).colour, "/c12");
    QTest::keyClick(w->File1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(w->list().count(), 4);
    w->show();
    const QRect third = w->File1->visualItemRect(w->File1->item(2));
    // A real double-click: a click, then the double-click event.
    QTest::mouseClick(w->File1->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(w->list().count(), 4) << "a single click adds nothing";
    QTest::mouseDClick(w->File1->viewport(), Qt::LeftButton, {}, third.center());
    ASSERT_EQ(w->list().count(), 5);
    EXPECT_EQ(w->list().at(4).rowText(), "/c12c.bmp");
}

TEST_F(KeyboardFixture, AltUpAndAltDownMoveTheSelectedEntries) {
    for (const char* n : {"p", "q", "r", "s"})
        w->list().append("/c8", "/x/", n);
    w->list().setSelected(2, true);
    w->list().setSelected(3, true);
    w->DisplayList->setCurrentIndex(w->list().index(3, ProjectList::RowText));
    w->list().setSelected(2, true); // setCurrentIndex selected only the current row
    QTest::keyClick(w->DisplayList, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(names(), QStringList({"p", "r", "s", "q"}));
    QTest::keyClick(w->DisplayList, Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(w->DisplayList, Qt::Key_Up, Qt::AltModifier); // already at the top
    EXPECT_EQ(names(), QStringList({"r", "s", "p", "q"}));
    EXPECT_EQ(w->list().selectedIndices(), std::vector<int>({0, 1}));
    EXPECT_EQ(w->DisplayList->currentIndex().row(), 1) << "the current entry moves along";
    QTest::keyClick(w->DisplayList, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(names(), QStringList({"p", "r", "s", "q"}));
    // The hidden lists follow.
    EXPECT_EQ(w->names->model()->index(1, w->names->modelColumn()).data().toString(), "r");
}

TEST_F(KeyboardFixture, MenuShortcutsF1AndF5) {
    const struct {
        const char* action;
        const char* keys;
    } shortcuts[] = {{"new", "Ctrl+N"},   {"open", "Ctrl+O"},         {"import", "Ctrl+I"},
                     {"save", "Ctrl+S"},  {"saveas", "Ctrl+Shift+S"}, {"exit", "Ctrl+Q"},
                     {"userguide", "F1"}, {"refresh", "F5"}};
    for (const auto& s : shortcuts) {
        QAction* a = action(s.action);
        ASSERT_NE(a, nullptr) << s.action;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(s.keys))) << s.action;
    }
    // F1 opens the user guide of the program folder; a missing guide is reported.
    QStringList opened;
    w->setUrlOpener([&](const QString& url) {
        opened << url;
        return true;
    });
    action("userguide")->trigger();
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains("userguide.html"));
    writeAll(pf.file("userguide.html"), "<html></html>");
    action("userguide")->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].startsWith("file://") && opened[0].endsWith("/userguide.html"));

    // F5: files made meanwhile appear, the selection stays.
    pictures();
    QTest::keyClick(w->File1, Qt::Key_Down);
    writeAll(dir.filePath("aa.bmp"), "x");
    QDir(dir.path()).mkdir("sub");
    action("refresh")->trigger();
    EXPECT_EQ(w->File1->count(), 4);
    EXPECT_EQ(w->File1->selectedNames(), QStringList{"a.bmp"});
    EXPECT_TRUE(!w->Dir1->findItems("sub", Qt::MatchEndsWith).isEmpty());
    // A folder removed meanwhile: the browser goes up to the nearest one that is left.
    QDir(dir.path()).mkpath("x/y");
    ASSERT_TRUE(w->Dir1->setPath(dir.filePath("x/y")));
    QDir(dir.filePath("x")).removeRecursively();
    action("refresh")->trigger();
    EXPECT_EQ(w->Dir1->path(), QDir::toNativeSeparators(dir.path()));
    EXPECT_EQ(w->File1->count(), 4);
}

TEST_F(KeyboardFixture, WindowShortcutsReachTheirCommands) {
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->list().append("/c8", "/x/", "p");
    w->project().setFilename("/x/old.mbm");
    w->DisplayList->setFocus();
    QTest::keyClick(w.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(w->list().count(), 0);
    EXPECT_EQ(w->project().filename(), "Noname.mbm");
    ui.answer(std::nullopt); // Open's dialog, cancelled
    QTest::keyClick(w->File1, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(ui.requests.size(), 1u);
    EXPECT_EQ(ui.requests[0].kind, FileDialogRequest::Open);
    QTest::keyClick(w.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(KeyboardFixture, PatternBoxTakesWhatIsTyped) {
    pictures();
    writeAll(dir.filePath("notes.txt"), "x");
    writeAll(dir.filePath(".hidden.bmp"), "x");
    const int items = w->Combo1->count();
    w->Combo1->lineEdit()->clear();
    QTest::keyClicks(w->Combo1->lineEdit(), "*");
    EXPECT_EQ(w->Combo1->currentText(), "*") << "no completion to *.bmp";
    EXPECT_EQ(w->File1->count(), 4) << "every file but the hidden one";
    QTest::keyClick(w->Combo1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->Combo1->count(), items) << "Enter adds nothing to the drop-down";
    EXPECT_EQ(w->File1->pattern(), "*");
    QTest::keyClicks(w->Combo1->lineEdit(), ".txt");
    QTest::keyClick(w->Combo1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->File1->count(), 1);
    EXPECT_EQ(w->Combo1->count(), items);
}

// At their fixed size (checked with the layout), every switch, "/c32a" the widest, shows whole.
TEST_F(KeyboardFixture, SwitchListsShowTheirWholeText) {
    ASSERT_TRUE(colourSwitches().contains("/c32a"));
    for (QComboBox* box : {w->colourselection, w->colourselection2}) {
        const QFontMetrics fm(box->font());
        for (const QString& t : colourSwitches())
            EXPECT_LE(fm.horizontalAdvance(t) + 2, switchTextRoom(box))
                << box->objectName().toStdString() << " " << t.toStdString();
    }
    // Without the narrower arrow the same box clips it.
    QComboBox plain;
    plain.setGeometry(w->colourselection->geometry());
    plain.addItems(colourSwitches());
    EXPECT_GT(QFontMetrics(plain.font()).horizontalAdvance("/c32a") + 2, switchTextRoom(&plain));
}

} // namespace
