// The demo icon window: the embedded sets, the written files and the added entries.
#include "project/list_commands.h"
#include "support/tools_support.h"
#include "ui/form6.h"

#include <QImage>
#include <QtEndian>

using namespace testing_support;

namespace {

struct IconFile {
    const char* name;
    int width, height, bitsPerPixel;
    bool mask;
};

const IconFile kQevFiles[] = {{"IconBigQev.bmp", 64, 50, 24, false},
                              {"IconBigQevMask.bmp", 64, 50, 8, true},
                              {"IconSmallQev.bmp", 25, 20, 24, false},
                              {"IconSmallQevMask.bmp", 25, 20, 24, true}};
const IconFile kOwnFiles[] = {{"IconBigMBMZembrel.bmp", 64, 50, 24, false},
                              {"IconBigMBMZembrelMask.bmp", 64, 50, 24, true},
                              {"IconSmallMBMZembrel.bmp", 25, 20, 24, false},
                              {"IconSmallMBMZembrelMask.bmp", 25, 20, 24, true}};

/// The bits per pixel in a BMP file's info header.
int bitsPerPixel(const QByteArray& bmp) {
    if (bmp.size() < 30 || !bmp.startsWith("BM")) return -1;
    return qFromLittleEndian<quint16>(bmp.constData() + 28);
}

/// Checks a mask against its icon: black where the icon is drawn (not white), white
/// around it, with at most a few grey edge pixels.
void expectMaskOf(const QImage& mask, const QImage& icon) {
    ASSERT_EQ(mask.size(), icon.size());
    int drawn = 0, grey = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const int m = qGray(mask.pixel(x, y));
            const bool iconDrawn = (icon.pixel(x, y) & 0xffffff) != 0xffffff;
            drawn += iconDrawn;
            if (m != 0 && m != 255)
                ++grey;
            else
                EXPECT_EQ(m == 0, iconDrawn) << "at " << x << "," << y;
        }
    EXPECT_GT(drawn, mask.width() * mask.height() / 10); // there is an icon at all
    EXPECT_LE(grey, 4);
}

} // namespace

TEST(DemoIconResources, SizesDepthsAndMasks) {
    for (const auto* set : {kQevFiles, kOwnFiles}) {
        for (int i = 0; i < 4; ++i) {
            const IconFile& f = set[i];
            SCOPED_TRACE(f.name);
            QFile file(demoIconResource(f.name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            EXPECT_EQ(bitsPerPixel(bytes), f.bitsPerPixel);
            const QImage image = QImage::fromData(bytes, "BMP");
            EXPECT_EQ(image.size(), QSize(f.width, f.height));
            if (f.mask) expectMaskOf(image, QImage(demoIconResource(set[i - 1].name)));
        }
    }
}

struct DemoIconWindow : ToolsFixture {
    Form6* open() {
        main->importdemoicon();
        return form<Form6>(6);
    }
    QStringList rows() const {
        QStringList out;
        for (const BitmapEntry& e : main->list().entries())
            out << e.rowText();
        return out;
    }
};

TEST_F(DemoIconWindow, OpensWithTheFirstSetChosen) {
    Form6* f = open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->Option1->isChecked());
    EXPECT_FALSE(f->Option2->isChecked());
    EXPECT_TRUE(f->Command1->isDefault());
    EXPECT_FALSE(f->Picture1->isHidden());
    EXPECT_FALSE(f->Picture5->isHidden());
    for (QLabel* hidden :
         {f->Picture2, f->Picture3, f->Picture4, f->Picture6, f->Picture7, f->Picture8})
        EXPECT_TRUE(hidden->isHidden());
    EXPECT_EQ(f->Picture1->pixmap().size(), QSize(64, 50));
    EXPECT_EQ(open(), f);
}

TEST_F(DemoIconWindow, EachSetWritesItsFilesAndAddsFourEntries) {
    struct Case {
        const char* name;
        bool second;
        bool tempextractExists;
        const IconFile* files;
        QStringList rows;
    };
    const Case cases[] = {
        {"Qev, fresh installation",
         false,
         false,
         kQevFiles,
         {"/c12IconBigQev.bmp", "/1IconBigQevMask.bmp", "/c12IconSmallQev.bmp",
          "/1IconSmallQevMask.bmp"}},
        {"MBMZembrel, tempextract there",
         true,
         true,
         kOwnFiles,
         {"/c12IconBigMBMZembrel.bmp", "/1IconBigMBMZembrelMask.bmp", "/c12IconSmallMBMZembrel.bmp",
          "/1IconSmallMBMZembrelMask.bmp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramFolder pf = program.folder();
        QDir(pf.tempextract()).removeRecursively();
        if (c.tempextractExists) {
            ASSERT_TRUE(QDir().mkpath(pf.tempextract()));
        }
        main->list().clear();
        Form6* f = open();
        ASSERT_NE(f, nullptr);
        if (c.second) f->Option2->click();
        f->Command1->click();
        EXPECT_TRUE(waitGone(6));
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(rows(), c.rows);
        for (int i = 0; i < 4; ++i) {
            const BitmapEntry& e = main->list().at(i);
            EXPECT_EQ(e.dir, folderWithSeparator(pf.tempextract()));
            const QByteArray bytes = readAll(pf.inTempextract(e.name));
            EXPECT_EQ(bitsPerPixel(bytes), c.files[i].bitsPerPixel) << e.name.toStdString();
            EXPECT_EQ(QImage::fromData(bytes).size(), QSize(c.files[i].width, c.files[i].height));
        }
    }
}

TEST_F(DemoIconWindow, NewEntriesFollowTheExistingOnes) {
    main->list().append("/c8", "C:\\", "a.bmp");
    main->list().append("/c24", "C:\\", "b.gif");
    main->list().setSelected(1, true);
    for (int round = 0; round < 2; ++round) {
        open()->Command1->click();
        ASSERT_TRUE(waitGone(6));
    }
    ASSERT_EQ(main->list().count(), 10);
    EXPECT_EQ(rows().mid(0, 2), QStringList({"/c8a.bmp", "/c24b.gif"}));
    EXPECT_EQ(rows().mid(2, 4), rows().mid(6, 4)); // a second set adds duplicates
    EXPECT_FALSE(main->list().isSelected(0));
    EXPECT_TRUE(main->list().isSelected(1));
}

TEST_F(DemoIconWindow, CancelEscapeAndTitleBarAddNothing) {
    const std::function<void(Form6*)> ways[] = {
        [](Form6* f) { f->Command2->click(); },
        [](Form6* f) { QTest::keyClick(f, Qt::Key_Escape); },
        [](Form6* f) { f->close(); },
    };
    for (const auto& closeIt : ways) {
        closeIt(open());
        EXPECT_TRUE(waitGone(6));
    }
    EXPECT_EQ(main->list().count(), 0);
    EXPECT_FALSE(QDir(program.folder().tempextract()).exists());
}

TEST_F(DemoIconWindow, UnwritableWorkFolderAddsNothingAndSaysSo) {
    // A file standing where the work folder should be.
    writeAll(program.folder().tempextract(), "in the way");
    open()->Command1->click();
    EXPECT_TRUE(waitGone(6));
    EXPECT_EQ(main->list().count(), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title.toStdString(), "Error");
    EXPECT_TRUE(ui.messages[0].text.contains("tempextract"));
}
