// Saving the selected entries as BMP files through the folder choice window.
#include "project/list_commands.h"
#include "support/tools_support.h"
#include "ui/form2.h"
#include "ui/form3.h"

#include "mbm/picture_conversion.h"

#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

using namespace testing_support;

struct BmpSaveWindow : ToolsFixture {
    QTemporaryDir src;
    QTemporaryDir out;

    void add(const char* name, bool create = true, int w = 8, int h = 6) {
        if (create) {
            const QString path = src.filePath(name);
            const QImage picture = makePicture(w, h);
            EXPECT_TRUE(QString(name).endsWith(".gif") ? saveGif(picture, path)
                                                       : picture.save(path, formatOf(name)));
        }
        main->list().append("/c8", folderWithSeparator(src.path()), name);
    }
    static const char* formatOf(const char* name) {
        const QString n(name);
        if (n.endsWith(".bmp")) return "BMP";
        if (n.endsWith(".png")) return "PNG";
        if (n.endsWith(".tif")) return "TIFF";
        if (n.endsWith(".webp")) return "WEBP";
        return "JPEG";
    }
    Form2* open() {
        main->command5Click();
        return form<Form2>(2);
    }
    /// Runs Save into `folder` and waits until the conversion window has gone.
    void saveInto(Form2* f, const QString& folder) {
        ASSERT_TRUE(f->Dir1->setPath(folder));
        f->Command1->click();
        EXPECT_TRUE(waitGone(2));
        EXPECT_TRUE(QTest::qWaitFor([&] { return main->form(3) == nullptr; }, 10000));
    }
    QStringList written() const { return QDir(out.path()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(BmpSaveWindow, NothingSelectedOpensNothing) {
    main->command5Click();
    EXPECT_EQ(main->form(2), nullptr);
    add("a.jpg");
    main->command5Click();
    EXPECT_EQ(main->form(2), nullptr);
}

TEST_F(BmpSaveWindow, WritesOnlySelectedEntriesWithConvertedNames) {
    add("a.jpg");
    add("skip.bmp");
    add("b.gif");
    add("photo.jpeg");
    for (int i : {0, 2, 3})
        main->list().setSelected(i, true);
    Form2* f = open();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle().toStdString(), "Select map to save files in");
    EXPECT_TRUE(f->Command1->isDefault());
    EXPECT_EQ(f->Text1->text(), "bmp");
    ASSERT_EQ(f->List2->count(), 3);
    EXPECT_EQ(f->List2->item(0)->text(), "a.jpg");
    EXPECT_EQ(f->List2->item(2)->text(), "photo.jpeg");
    EXPECT_EQ(f->List1->item(1)->text(), folderWithSeparator(src.path()));

    saveInto(f, out.path());
    EXPECT_EQ(written(), QStringList({"a.bmp", "b.bmp", "photo.bmp"}));
    for (const QString& name : written()) {
        QImageReader r(out.filePath(name));
        EXPECT_EQ(r.format(), "bmp") << name.toStdString();
        EXPECT_EQ(r.size(), QSize(8, 6));
    }
    EXPECT_TRUE(ui.messages.empty());
}

// PNG and the formats of the image plug-ins present are written like JPEG.
TEST_F(BmpSaveWindow, WritesEveryFormatQtReads) {
    QStringList expected;
    for (const char* name : {"p.png", "t.tif", "w.webp"}) {
        if (!QImageWriter::supportedImageFormats().contains(QByteArray(formatOf(name)).toLower()))
            continue; // no plug-in for it here
        add(name);
        expected << convertedName(QString::fromLatin1(name));
    }
    ASSERT_FALSE(expected.isEmpty());
    main->list().selectAll();
    saveInto(open(), out.path());
    EXPECT_EQ(written(), expected);
    for (const QString& name : written())
        EXPECT_EQ(QImageReader(out.filePath(name)).format(), "bmp") << name.toStdString();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BmpSaveWindow, SelectionIsASnapshotTakenAtOpening) {
    add("a.jpg");
    add("b.gif");
    main->list().setSelected(0, true);
    Form2* f = open();
    main->list().setSelected(1, true);
    EXPECT_EQ(open(), f); // the same window, the same snapshot
    EXPECT_EQ(f->List2->count(), 1);
    saveInto(f, out.path());
    EXPECT_EQ(written(), QStringList({"a.bmp"}));
    // Reopened, it takes the selection of that moment.
    EXPECT_EQ(open()->List2->count(), 2);
}

TEST_F(BmpSaveWindow, LaterEntryOfTheSameTargetNameWins) {
    add("pic.jpg", true, 8, 6);
    add("pic.gif", true, 5, 4);
    main->list().selectAll();
    saveInto(open(), out.path());
    EXPECT_EQ(written(), QStringList({"pic.bmp"}));
    EXPECT_EQ(QImageReader(out.filePath("pic.bmp")).size(), QSize(5, 4));
}

TEST_F(BmpSaveWindow, TargetFolderGetsOneSeparator) {
    add("a.jpg");
    main->list().selectAll();
    Form2* f = open();
    ASSERT_TRUE(f->Dir1->setPath("/"));
    EXPECT_EQ(f->targetFolder(), "/"); // a drive root is not doubled
    ASSERT_TRUE(f->Dir1->setPath(out.path()));
    const QString folder = f->targetFolder();
    EXPECT_EQ(folder, QDir::toNativeSeparators(out.path()) + QDir::separator());
    // What the conversion window is handed, before its tick runs.
    f->Command1->click();
    auto* convert = form<Form3>(3);
    ASSERT_NE(convert, nullptr);
    EXPECT_EQ(convert->Text1->text(), "bmp");
    EXPECT_EQ(convert->Text2->text(), folder);
    EXPECT_EQ(convert->List2->count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->form(3) == nullptr; }, 10000));
}

TEST_F(BmpSaveWindow, FailuresAreNamedInOneErrorMessage) {
    add("a.jpg");
    add("missing.jpg", false);
    add("blocked.gif");
    add("c.bmp");
    // A folder standing where blocked.bmp should go makes that target unwritable.
    ASSERT_TRUE(QDir(out.path()).mkdir("blocked.bmp"));
    main->list().selectAll();
    saveInto(open(), out.path());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files, QDir::Name), QStringList({"a.bmp", "c.bmp"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title.toStdString(), "Error");
    EXPECT_TRUE(ui.messages[0].text.contains("missing.jpg"));
    EXPECT_TRUE(ui.messages[0].text.contains("blocked.bmp"));
    EXPECT_FALSE(ui.messages[0].text.contains("a.bmp"));
}

TEST_F(BmpSaveWindow, CancelWritesNothing) {
    add("a.jpg");
    main->list().selectAll();
    Form2* f = open();
    ASSERT_TRUE(f->Dir1->setPath(out.path()));
    QTest::keyClick(f, Qt::Key_Escape);
    EXPECT_TRUE(waitGone(2));
    EXPECT_EQ(main->form(3), nullptr);
    EXPECT_TRUE(written().isEmpty());
}
