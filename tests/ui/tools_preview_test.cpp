// The picture preview: the placement table and the preview frame of the main window.
#include "ui/preview.h"

#include "project/list_commands.h"
#include "support/tools_support.h"

#include <QTemporaryDir>

using namespace testing_support;

namespace {

struct PlacementCase {
    const char* name;
    float pictureWidth, pictureHeight; // twips
    float left, top, width, height;    // twips
    bool stretched;
};

// The preview frame of the main window: 6615 x 4575 twips, usable 6415 x 4175.
const PlacementCase kCases[] = {
    {"100 x 80 px fits and is centred", 1500, 1200, 2557.5f, 1687.5f, 1500, 1200, false},
    {"427 px wide keeps its width", 427 * 15, 1500, 105.0f, 1537.5f, 6405, 1500, false},
    {"exactly the usable width is untouched", 6415, 1500, 100.0f, 1537.5f, 6415, 1500, false},
    {"428 px wide is shrunk to the usable width", 428 * 15, 1500, 100.0f,
     (4175.0f - 1500.0f * 6415.0f / 6420.0f) / 2 + 200, 6415, 1500.0f * 6415.0f / 6420.0f, true},
    {"278 px high keeps its height", 1500, 278 * 15, 2557.5f, 202.5f, 1500, 4170, false},
    {"279 px high is shrunk to the usable height", 1500, 279 * 15,
     (6415.0f - 1500.0f * 4175.0f / 4185.0f) / 2 + 100, 200.0f, 1500.0f * 4175.0f / 4185.0f, 4175,
     true},
    {"640 x 480 px: width fit, then height fit", 9600, 7200, 524.1667f, 200.0f, 5566.667f, 4175,
     true},
    {"1500 x 6000 twips: height fit only", 1500, 6000, 2785.625f, 200.0f, 1043.75f, 4175, true},
};

} // namespace

TEST(PreviewPlacement, Table) {
    for (const PlacementCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const PreviewPlacement p = placePreview(6615, 4575, c.pictureWidth, c.pictureHeight);
        EXPECT_NEAR(p.left, c.left, 0.01);
        EXPECT_NEAR(p.top, c.top, 0.01);
        EXPECT_NEAR(p.width, c.width, 0.01);
        EXPECT_NEAR(p.height, c.height, 0.01);
        EXPECT_EQ(p.stretched, c.stretched);
    }
}

struct PreviewWindow : ToolsFixture {
    QTemporaryDir dir;
    QString picture(const char* name, int w, int h) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(makePicture(w, h).save(path));
        return path;
    }
};

TEST_F(PreviewWindow, SmallPictureIsShownAtItsSizeInTheMiddle) {
    main->showPreview(picture("small.bmp", 100, 80));
    ASSERT_FALSE(main->Image1->isHidden());
    EXPECT_EQ(main->Image1->size(), QSize(100, 80));
    EXPECT_EQ(main->Image1->pixmap().size(), QSize(100, 80));
    // 2557.5 and 1687.5 twips are 170.5 and 112.5 pixels.
    EXPECT_NEAR(main->Image1->x(), 170.5, 0.5);
    EXPECT_NEAR(main->Image1->y(), 112.5, 0.5);
}

TEST_F(PreviewWindow, ShowsEveryFormatQtReads) {
    for (const char* name : {"p.png", "t.tiff", "w.webp"}) {
        const QString path = dir.filePath(name);
        if (!makePicture(30, 20).save(path)) continue; // no plug-in for it here
        main->Image1->clear();
        main->showPreview(path);
        EXPECT_FALSE(main->Image1->isHidden()) << name;
        EXPECT_EQ(main->Image1->pixmap().size(), QSize(30, 20)) << name;
    }
}

TEST_F(PreviewWindow, LargePictureIsShrunkToFitWithItsProportions) {
    main->showPreview(picture("large.jpg", 640, 480));
    ASSERT_FALSE(main->Image1->isHidden());
    EXPECT_EQ(main->Image1->size(), QSize(371, 278)); // 5566.7 x 4175 twips
    EXPECT_EQ(main->Image1->pixmap().size(), QSize(371, 278));
    EXPECT_EQ(main->Image1->y(), 13); // 200 twips
}

TEST_F(PreviewWindow, FrameSizeIsReadAnewEachTime) {
    const QString path = dir.filePath("wide.gif");
    ASSERT_TRUE(saveGif(makePicture(420, 100), path));
    main->showPreview(path);
    EXPECT_EQ(main->Image1->width(), 420);
    main->Frame3->resize(300, 305); // usable width 4300 twips
    main->showPreview(path);
    EXPECT_EQ(main->Image1->width(), 287);
    EXPECT_EQ(main->Image1->x(), 7);
}

TEST_F(PreviewWindow, UnreadablePictureLeavesTheAreaEmpty) {
    main->showPreview(picture("first.bmp", 50, 50));
    ASSERT_FALSE(main->Image1->isHidden());
    writeAll(dir.filePath("text.jpg"), "not a picture");
    for (const QString& bad : {dir.filePath("text.jpg"), dir.filePath("gone.bmp"), QString()}) {
        main->showPreview(picture("first.bmp", 50, 50));
        main->showPreview(bad);
        EXPECT_TRUE(main->Image1->isHidden()) << bad.toStdString();
        EXPECT_TRUE(main->Image1->pixmap().isNull());
    }
}

TEST_F(PreviewWindow, SelectingLeavesThePreviewAlone) {
    main->showPreview(picture("first.bmp", 50, 40));
    const QString other = picture("second.bmp", 60, 30);
    main->project().selecting = 1;
    main->showPreview(other);
    main->showPreview(dir.filePath("missing.bmp"));
    EXPECT_FALSE(main->Image1->isHidden());
    EXPECT_EQ(main->Image1->size(), QSize(50, 40));
}

TEST_F(PreviewWindow, ProjectEntryClickPreviewsFolderAndName) {
    picture("entry.bmp", 30, 20);
    main->list().append("/c8", folderWithSeparator(dir.path()), "entry.bmp");
    const QModelIndex row = main->list().index(0, ProjectList::RowText);
    emit main->DisplayList->clicked(row);
    EXPECT_FALSE(main->Image1->isHidden());
    EXPECT_EQ(main->Image1->size(), QSize(30, 20));
}
