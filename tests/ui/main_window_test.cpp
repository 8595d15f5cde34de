// The main window offscreen: controls, layout, title, list commands, New and Exit.
#include "mbm/picture_formats.h"
#include "support/test_support.h"
#include "ui/form1.h"
#include "ui/twips.h"

#include <QMenuBar>
#include <QTest>

using namespace testing_support;

namespace {

struct MainWindowFixture : ::testing::Test {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    std::unique_ptr<Form1> w = std::make_unique<Form1>(pf.folder(), ui);
    MainWindowFixture() { withShortPauses(*w); }
};

TEST_F(MainWindowFixture, ControlsStandAtTheirPlaces) {
    struct Case {
        const char* name;
        int left, top, width, height;
    };
    const Case cases[] = {
        {"Frame1", 120, 120, 2535, 6015},   {"Drive1", 120, 240, 2295, 315},
        {"Dir1", 120, 720, 2295, 1440},     {"File1", 120, 2280, 2295, 2235},
        {"Combo1", 120, 4680, 2295, 315},   {"Command1", 120, 5160, 2295, 255},
        {"Command2", 120, 5520, 1455, 315}, {"colourselection", 1680, 5520, 735, 315},
        {"Frame2", 2880, 120, 2535, 6015},  {"DisplayList", 120, 240, 2295, 3570},
        {"Command7", 120, 3960, 2295, 255}, {"Command3", 120, 4320, 2295, 255},
        {"Command4", 120, 4680, 2295, 255}, {"Command5", 120, 5040, 2295, 350},
        {"Command6", 120, 5520, 1575, 315}, {"colourselection2", 1730, 5520, 735, 315},
        {"Frame3", 5640, 120, 6615, 4575},  {"filename", 2640, 3960, 735, 285},
        {"myfile", 5160, 3960, 735, 285},   {"mytitle", 5160, 3360, 375, 285},
        {"Image2", 6360, 5040, 4995, 660},
    };
    for (const Case& c : cases) {
        auto* control = w->findChild<QWidget*>(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->geometry(), QRect(px(c.left), px(c.top), px(c.width), px(c.height)))
            << c.name;
    }
    EXPECT_EQ(w->centralWidget()->size(), QSize(825, 416));
    for (const char* hidden : {"filename", "myfile", "mytitle", "dirs", "names", "colour"})
        EXPECT_TRUE(w->findChild<QWidget*>(hidden)->isHidden()) << hidden;
    EXPECT_NE(w->findChild<QTimer*>("Timer1"), nullptr);
    EXPECT_EQ(w->Timer1->interval(), 1000);
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(w->commonDialog().objectName(), "CommonDialog1");
    EXPECT_EQ(w->commonDialog().filter(), "Symbian Graphic Archive|*.mbm");
}

TEST_F(MainWindowFixture, StartsOnC8WithTheDocumentedPatternsAndTitle) {
    EXPECT_EQ(shownTitle(*w), "MBM Zembrel - Noname.mbm");
    EXPECT_EQ(w->filename->text(), "Noname.mbm");
    EXPECT_EQ(w->myfile->text(), "Text1");
    EXPECT_EQ(w->colourselection->currentText(), "/c8");
    EXPECT_EQ(w->colourselection2->currentText(), "/c8");
    for (QComboBox* box : {w->colourselection, w->colourselection2})
        EXPECT_EQ(box->itemText(box->count() - 3) + box->itemText(box->count() - 2) +
                      box->itemText(box->count() - 1),
                  "/c24/c32/c32a");
    EXPECT_EQ(w->Combo1->currentText(), "*.jpg;*.bmp;*.gif");
    QStringList items;
    for (int i = 0; i < w->Combo1->count(); ++i)
        items << w->Combo1->itemText(i);
    EXPECT_EQ(items, QStringList({"*.bmp", "*.jpg", "*.gif", "*.jpg;*.bmp;*.gif", "*.png",
                                  allPicturesPattern()}));
    EXPECT_EQ(w->File1->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(w->DisplayList->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(w->Drive1->itemText(0), "/");
}

TEST_F(MainWindowFixture, MenusAndTabOrder) {
    QStringList entries;
    QStringList keys;
    for (QAction* menu : w->menuBar()->actions()) {
        entries << menu->menu()->objectName() + ":" + menu->text();
        for (QAction* a : menu->menu()->actions()) {
            entries << a->objectName() + ":" + a->text();
            // The File entries carry their usual shortcuts (see the keyboard tests).
            if (menu->menu()->objectName() != "file" && !a->shortcut().isEmpty())
                keys << a->objectName() + ":" + a->shortcut().toString(QKeySequence::PortableText);
            EXPECT_FALSE(a->isSeparator());
        }
    }
    EXPECT_EQ(entries, QStringList({"file:&File",
                                    "new:&New",
                                    "save:&Save",
                                    "saveas:Save &As",
                                    "open:&Open",
                                    "import:&Import",
                                    "exit:E&xit",
                                    "edit:&Edit",
                                    "undo:&Undo",
                                    "redo:&Redo",
                                    "view:&View",
                                    "showasstored:Show as &stored",
                                    "comparewithsource:&Compare with source",
                                    "zoomin:Zoom &in",
                                    "zoomout:Zoom &out",
                                    "fit:&Fit",
                                    "backdrop:&Backdrop",
                                    "tools:&Tools",
                                    "exportlist:&Export list",
                                    "customlistexport:&Custom list export",
                                    "importdemoicon:Import &demo icon",
                                    "archivetype:Archive &type",
                                    "writeheader:Write C++ &header (.mbg)",
                                    "maskstransparency:&Masks from transparency",
                                    "addmask:Add mask to se&lected",
                                    "savepng:Save selected as &PNG",
                                    "ditherreduceddepths:D&ither reduced depths",
                                    "help:&Help",
                                    "about:&About"}));
    QStringList types;
    for (QAction* a : w->findChild<QMenu*>("archivetype")->actions())
        types << a->objectName() + ":" + a->text() + (a->isChecked() ? "*" : "");
    EXPECT_EQ(
        types,
        QStringList({"filestore:&File store*", "uncompressedfilestore:&Uncompressed file store",
                     "romimage:&ROM image", "compressedromimage:&Compressed ROM image"}));
    // The two submenus of the masks, with their settings at start.
    for (const auto& [menu, items] :
         {std::pair<const char*, QStringList>{"maskstransparency",
                                              {"masknone:&None*", "mask1bit:&1-bit mask",
                                               "mask8bit:&8-bit soft mask", ":",
                                               "maskwhite:1-bit masks &white where drawn"}},
          {"backdrop", {"checkerboard:&Checkerboard*", "white:&White", "black:&Black"}}}) {
        QStringList shown;
        for (QAction* a : w->findChild<QMenu*>(menu)->actions())
            shown << a->objectName() + ":" + a->text() + (a->isChecked() ? "*" : "");
        EXPECT_EQ(shown, items) << menu;
    }
    EXPECT_EQ(keys, QStringList({"undo:Ctrl+Z", "redo:Ctrl+Shift+Z", "showasstored:Ctrl+T",
                                 "comparewithsource:Ctrl+Shift+T", "zoomin:Ctrl++",
                                 "zoomout:Ctrl+-", "fit:Ctrl+0"}));
    auto* asStored = w->findChild<QAction*>("showasstored");
    EXPECT_TRUE(asStored->isCheckable());
    EXPECT_FALSE(asStored->isChecked());
    const QList<QWidget*> order = {w->Drive1,          w->Dir1,
                                   w->File1,           w->Combo1,
                                   w->Command1,        w->Command2,
                                   w->colourselection, w->DisplayList,
                                   w->Command3,        w->Command4,
                                   w->Command5,        w->Command6,
                                   w->Command7,        w->colourselection2};
    // Walk the focus chain from the first control and keep the named ones, in order.
    QList<QWidget*> seen;
    QWidget* wdg = order.first();
    for (int steps = 0; steps < 500 && seen.size() < order.size(); ++steps) {
        if (order.contains(wdg) && !seen.contains(wdg)) seen << wdg;
        wdg = wdg->nextInFocusChain();
    }
    EXPECT_EQ(seen, order);
}

TEST_F(MainWindowFixture, BrowseAddAndEditTheList) {
    QTemporaryDir dir;
    for (const char* n : {"a.bmp", "b.GIF", "c.jpg", "d.txt"})
        writeAll(dir.filePath(n), "x");
    ASSERT_TRUE(w->Dir1->setPath(dir.path()));
    EXPECT_EQ(w->File1->count(), 3);
    w->Combo1->setEditText("*.bmp");
    EXPECT_EQ(w->File1->count(), 1);
    w->Combo1->setEditText("*.jpg;*.bmp;*.gif");
    ASSERT_EQ(w->File1->count(), 3);

    w->command2Click(); // nothing selected: nothing added
    EXPECT_EQ(w->list().count(), 0);
    w->command1Click(); // select all files
    EXPECT_EQ(w->project().selecting, 0);
    w->colourselection->setCurrentText("/c24");
    w->command2Click();
    ASSERT_EQ(w->list().count(), 3);
    EXPECT_EQ(w->list().at(0).rowText(), "/c24a.bmp");
    EXPECT_EQ(w->list().at(0).dir, dir.path() + "/");
    EXPECT_EQ(w->DisplayList->model()->index(1, 0).data().toString(), "/c24b.GIF");
    EXPECT_EQ(w->names->model()->index(1, w->names->modelColumn()).data().toString(), "b.GIF");

    w->list().setSelected(1, true);
    w->colourselection2->setCurrentText("/1");
    w->command6Click();
    EXPECT_EQ(w->list().at(1).rowText(), "/1b.GIF");
    w->command3Click();
    EXPECT_EQ(w->list().count(), 2);
    w->command4Click();
    EXPECT_TRUE(w->list().isSelected(0) && w->list().isSelected(1));
    w->command7Click();
    EXPECT_EQ(w->list().count(), 0);
    EXPECT_EQ(shownTitle(*w), "MBM Zembrel - Noname.mbm*") << "changed, not saved";
}

// Files that no longer fit are not dropped silently.
TEST_F(MainWindowFixture, AddingToAFullListSaysHowManyWereLeft) {
    QTemporaryDir dir;
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp"})
        writeAll(dir.filePath(n), "x");
    ASSERT_TRUE(w->Dir1->setPath(dir.path()));
    std::vector<BitmapEntry> filler(size_t(ProjectList::kMaxEntries - 1), {"/c8", "/p/", "x.bmp"});
    w->list().appendAll(filler);
    w->command1Click();
    w->command2Click();
    EXPECT_EQ(w->list().count(), ProjectList::kMaxEntries);
    EXPECT_EQ(w->list().at(ProjectList::kMaxEntries - 1).name, "a.bmp");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains("2 more could not be added"))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(ui.messages[0].title, "Error");
}

TEST_F(MainWindowFixture, TitleFollowsFilename) {
    w->project().setFilename("C:\\Work\\icons.mbm");
    EXPECT_EQ(shownTitle(*w), "MBM Zembrel - C:\\Work\\icons.mbm");
    EXPECT_EQ(w->filename->text(), "C:\\Work\\icons.mbm");
}

TEST_F(MainWindowFixture, NewWithAndWithoutWorkFolder) {
    for (bool withFolder : {false, true}) {
        if (withFolder) QDir(pf.path()).mkdir("tempextract");
        w->list().append("/c8", "/p/", "a.bmp");
        w->project().setFilename("/x/y.mbm");
        w->newProject();
        EXPECT_EQ(w->list().count(), 0);
        EXPECT_EQ(shownTitle(*w), "MBM Zembrel - Noname.mbm");
        EXPECT_TRUE(ui.messages.empty());
        w->workFolders().waitForCleanUp();
    }
}

TEST_F(MainWindowFixture, ExitClosesWithoutAQuestion) {
    QDir(pf.path()).mkdir("tempextract");
    writeAll(pf.file("tempextract/old.bmp"), "x");
    w->list().append("/c8", "/p/", "a.bmp");
    w->show();
    w->exitProgram();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.requests.empty());
    EXPECT_EQ(w->list().count(), 0);
    w->workFolders().waitForCleanUp();
    EXPECT_FALSE(QFile::exists(pf.file("tempextract/old.bmp")));
}

TEST_F(MainWindowFixture, SecondaryWindowsCloseWithTheMainWindow) {
    QPointer<QWidget> extra = new QWidget(nullptr, Qt::Window);
    w->setForm(5, extra);
    EXPECT_TRUE(w->raiseForm(5));
    EXPECT_FALSE(w->raiseForm(6));
    w->close();
    EXPECT_TRUE(extra.isNull());
}

} // namespace
