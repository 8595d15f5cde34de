// Drag and drop on the main window, delivered through the window as the window system
// delivers it: pictures and archives on the Project list, an archive on the rest of the
// window, rows dragged within the list.
#include "support/read_support.h"
#include "ui/form1.h"

#include <QMimeData>
#include <QTest>

using namespace testing_support;

namespace {

struct DropFixture : ::testing::Test {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    std::unique_ptr<Form1> w = std::make_unique<Form1>(pf.folder(), ui);
    QTemporaryDir dir;

    DropFixture() {
        withShortPauses(*w);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    static QString archive() { return testdata() + QStringLiteral("/real-mbm/tfbs.mbm"); }
    QString picture(const char* name) {
        const QString p = dir.filePath(QString::fromUtf8(name));
        EXPECT_TRUE(makePicture(6, 4).save(p, "BMP"));
        return p;
    }
    /// A point of `target` in window coordinates.
    QPoint at(QWidget* target, QPoint local = {5, 5}) const {
        return target->mapTo(w.get(), local);
    }
    /// Drags `paths` onto the window at `pos` and drops them there; returns whether the
    /// drag was accepted on entering. The drop is taken once events have run.
    bool drop(const QStringList& paths, const QPoint& pos) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << (p.contains("://") ? QUrl(p) : QUrl::fromLocalFile(p));
        mime.setUrls(urls);
        QWindow* win = w->windowHandle();
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(pos, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(win, &enter);
        QDragMoveEvent move(pos, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(win, &move);
        const bool accepted = enter.isAccepted() && move.isAccepted();
        QDropEvent dropped(pos, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(win, &dropped);
        QCoreApplication::processEvents();
        return accepted;
    }
    QStringList rows() const {
        QStringList out;
        for (const BitmapEntry& e : w->list().entries())
            out << e.rowText();
        return out;
    }
    bool statusWindowGone() {
        return QTest::qWaitFor([&] { return !w->form(4); }, 5000);
    }
};

TEST_F(DropFixture, TwoPicturesOnTheListAreAddedWithTheChosenSwitch) {
    w->colourselection->setCurrentText("/c16");
    const QString b = picture("b.bmp"), a = picture("a photo.bmp");
    writeAll(dir.filePath("notes.txt"), "x");
    EXPECT_TRUE(drop({b, dir.filePath("notes.txt"), "https://example.org/x.bmp", a},
                     at(w->DisplayList->viewport())));
    EXPECT_EQ(rows(), QStringList({"/c16b.bmp", "/c16a photo.bmp"}));
    EXPECT_EQ(w->list().at(1).dir, QDir::toNativeSeparators(dir.path() + "/"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DropFixture, AnythingElseIsRefusedAndChangesNothing) {
    writeAll(dir.filePath("notes.txt"), "x");
    for (QWidget* target :
         {static_cast<QWidget*>(w->DisplayList->viewport()),
          static_cast<QWidget*>(w->File1->viewport()), static_cast<QWidget*>(w->Combo1)}) {
        EXPECT_FALSE(drop({dir.filePath("notes.txt"), dir.path()}, at(target)));
        EXPECT_FALSE(drop({"https://example.org/a.mbm"}, at(target)));
    }
    // Pictures only go onto the Project list.
    EXPECT_FALSE(drop({picture("a.bmp")}, at(w->File1->viewport())));
    // Two archives cannot both be opened.
    const QString second = dir.filePath("second.mbm");
    ASSERT_TRUE(QFile::copy(archive(), second));
    EXPECT_FALSE(drop({archive(), second}, at(w->Dir1->viewport())));
    EXPECT_TRUE(w->list().entries().empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(w->Combo1->currentText(), "*.jpg;*.bmp;*.gif");
}

TEST_F(DropFixture, ArchiveOnTheListIsImported) {
    w->list().append("/c8", "/pics/", "a.bmp");
    w->project().setFilename("/work/old.mbm");
    EXPECT_TRUE(
        drop({picture("p.bmp"), archive(), picture("q.bmp")}, at(w->DisplayList->viewport())));
    ASSERT_EQ(w->list().count(), 5);
    EXPECT_EQ(rows().mid(0, 2), QStringList({"/c8a.bmp", "/c8p.bmp"}));
    EXPECT_EQ(w->list().at(2).dir, pf.folder().tempextract() + QDir::separator());
    EXPECT_EQ(rows().last(), "/c8q.bmp") << "in the order dropped";
    EXPECT_EQ(w->project().filename(), "/work/old.mbm");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(statusWindowGone());
}

TEST_F(DropFixture, ArchiveOnTheRestOfTheWindowIsOpened) {
    w->list().append("/c8", "/pics/", "a.bmp");
    for (QWidget* target : {static_cast<QWidget*>(w->File1->viewport()),
                            static_cast<QWidget*>(w->Combo1), static_cast<QWidget*>(w->Image2)}) {
        EXPECT_TRUE(drop({archive(), picture("ignored.bmp")}, at(target)));
        ASSERT_EQ(w->list().count(), 2) << target->objectName().toStdString();
        EXPECT_EQ(w->list().at(0).dir, pf.folder().tempextract() + QDir::separator());
        EXPECT_EQ(w->project().filename(), QDir::toNativeSeparators(archive()));
        EXPECT_EQ(w->commonDialog().fileName(), QDir::toNativeSeparators(archive()));
        EXPECT_TRUE(statusWindowGone());
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DropFixture, DropRowFollowsThePointer) {
    for (const char* n : {"p", "q", "r"})
        w->list().append("/c8", "/x/", n);
    const QRect second = w->DisplayList->visualRect(w->list().index(1, 0));
    EXPECT_EQ(w->DisplayList->dropRowAt(second.topLeft() + QPoint(2, 1)), 1);
    EXPECT_EQ(w->DisplayList->dropRowAt(second.bottomLeft() + QPoint(2, -1)), 2);
    EXPECT_EQ(w->DisplayList->dropRowAt(QPoint(2, w->DisplayList->viewport()->height() - 2)), 3);
}

// Rows dragged within the list: the drag carries the list's own mark and moves the
// selected rows to where they are dropped.
TEST_F(DropFixture, RowsDraggedWithinTheListMove) {
    for (const char* n : {"p", "q", "r", "s"})
        w->list().append("/c8", "/x/", n);
    w->list().setSelected(0, true);
    w->list().setSelected(1, true);
    QWidget* vp = w->DisplayList->viewport();
    const QPoint below = w->DisplayList->mapTo(w.get(), QPoint(5, vp->height() - 3));
    std::unique_ptr<QMimeData> mime(w->DisplayList->rowMoveData());
    const Qt::DropActions actions = Qt::MoveAction;
    QDragEnterEvent enter(below, actions, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w->windowHandle(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(below, actions, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w->windowHandle(), &dropped);
    QStringList names;
    for (const BitmapEntry& e : w->list().entries())
        names << e.name;
    EXPECT_EQ(names, QStringList({"r", "s", "p", "q"}));
    EXPECT_EQ(w->list().selectedIndices(), std::vector<int>({2, 3}));
    EXPECT_EQ(w->names->model()->index(2, w->names->modelColumn()).data().toString(), "p");
    EXPECT_EQ(w->dirs->model()->index(2, w->dirs->modelColumn()).data().toString(), "/x/");

    // Another list's rows (another editor) are not this list's to move.
    ProjectListView other;
    std::unique_ptr<QMimeData> foreign(other.rowMoveData());
    QDragEnterEvent enterForeign(below, actions, foreign.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w->windowHandle(), &enterForeign);
    EXPECT_FALSE(enterForeign.isAccepted());
}

} // namespace
