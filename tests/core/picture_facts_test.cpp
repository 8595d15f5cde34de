// The facts of a picture: its source format and depth from the file, and the facts line.
#include "mbm/picture_conversion.h"
#include "mbm/picture_facts.h"
#include "support/stored_support.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace stored_support;

namespace {

QImage indexed(int colours) {
    QImage img(9, 4, QImage::Format_Indexed8);
    QVector<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table << qRgb(i * 255 / std::max(1, colours - 1), 40, 200 - i * 3 % 200);
    img.setColorTable(table);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, uint((x + y) % colours));
    return img;
}

TEST(PictureFacts, SourceFormatAndDepthComeFromTheFile) {
    QTemporaryDir dir;
    QImage mono(12, 5, QImage::Format_Mono);
    mono.fill(1);
    const QImage grey = gradientPicture(8, 8).convertToFormat(QImage::Format_Grayscale8);
    QImage translucent = gradientPicture(8, 8).convertToFormat(QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(1, 2, 3, 4));
    const struct {
        const char* name;
        QImage picture;
        const char* format; // for QImage::save; "gif" goes through the test GIF writer
        const char* expected;
    } cases[] = {
        {"mono.bmp", mono, "BMP", "BMP, 1-bit"},
        {"sixteen.bmp", indexed(16), "BMP", "BMP, 4-bit"},
        {"palette.bmp", indexed(200), "BMP", "BMP, 8-bit"},
        {"photo.bmp", gradientPicture(8, 8), "BMP", "BMP, 24-bit"},
        {"photo.jpg", gradientPicture(8, 8), "JPEG", "JPEG, 24-bit"},
        {"grey.jpg", grey, "JPEG", "JPEG, 8-bit grey"},
        {"anim.gif", gradientPicture(8, 8), "gif", "GIF, 8-bit"},
        {"rgb.png", gradientPicture(8, 8), "PNG", "PNG, 24-bit"},
        {"rgba.png", translucent, "PNG", "PNG, 32-bit"},
        // Read by content: a JPEG under a .bmp name is a JPEG.
        {"misnamed.bmp", gradientPicture(8, 8), "JPEG", "JPEG, 24-bit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        if (QByteArray(c.format) == "gif")
            ASSERT_TRUE(writeGif(path, c.picture));
        else
            ASSERT_TRUE(c.picture.save(path, c.format));
        const ConvertedPicture read = convertedImage(path);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(sourceDescription(read.format, readAll(path).left(kFactsHeadBytes), read.source),
                  QString::fromLatin1(c.expected));
    }
}

TEST(PictureFacts, LineAndTooltipSayEveryFact) {
    PictureFacts f;
    f.size = QSize(176, 208);
    f.source = "JPEG, 24-bit";
    f.colourSwitch = "/c12";
    f.stored.bitmapBytes = 52180;
    f.stored.compression = 2;
    const QString x = QString(QChar(0x00D7));
    const QString dot = QStringLiteral(" \u00B7 ");
    EXPECT_EQ(factsLine(f), "176 " + x + " 208" + dot + "JPEG, 24-bit" + dot +
                                "/c12: 4,096 colours" + dot +
                                "52,180 bytes in a file store, 12-bit RLE");
    EXPECT_EQ(factsTooltip(f), "176 " + x +
                                   " 208 pixels\nJPEG, 24-bit\n/c12: 4,096 colours\n52,180 bytes "
                                   "in the archive, saved as a file store, 12-bit RLE");
    // The archive type a save builds is named with the size.
    const struct {
        ArchiveType type;
        const char* named;
        const char* pending;
    } types[] = {
        {ArchiveType::UncompressedFileStore, "bytes in an uncompressed file store, ",
         "size in an uncompressed file store: working it out"},
        {ArchiveType::RomImage, "bytes in a ROM image, ", "size in a ROM image: working it out"},
        {ArchiveType::CompressedRomImage, "bytes in a compressed ROM image, ",
         "size in a compressed ROM image: working it out"},
    };
    for (const auto& t : types) {
        f.archiveType = t.type;
        EXPECT_TRUE(factsLine(f).contains(t.named)) << factsLine(f).toStdString();
        f.sizePending = true;
        EXPECT_TRUE(factsLine(f).contains(t.pending)) << factsLine(f).toStdString();
        f.sizePending = false;
    }
    f.archiveType = ArchiveType::FileStore;

    f.origin = {"/home/u/icons/app.mbm", ArchiveType::CompressedRomImage, 3};
    f.colourSwitch = "/1";
    f.stored.compression = 0;
    EXPECT_TRUE(factsLine(f).endsWith(dot + "/1: black and white" + dot +
                                      "52,180 bytes in a file store, no compression" + dot +
                                      "app.mbm #3, compressed ROM image"))
        << factsLine(f).toStdString();
    EXPECT_TRUE(factsTooltip(f).endsWith("\nFrom " +
                                         QDir::toNativeSeparators("/home/u/icons/app.mbm") +
                                         " #3, compressed ROM image"))
        << factsTooltip(f).toStdString();

    f.storeProblem = "The converter would refuse this picture: too large";
    EXPECT_TRUE(factsLine(f).contains(f.storeProblem));
    EXPECT_FALSE(factsLine(f).contains("bytes"));
}

// The caption row's line loses one part at a time until it fits, the least telling first.
TEST(PictureFacts, LineShortensPartByPartToFit) {
    PictureFacts f;
    f.size = QSize(40, 30);
    f.source = "BMP, 24-bit";
    f.colourSwitch = "/1";
    f.stored.bitmapBytes = 124;
    f.origin = {"/home/u/shots.mbm", ArchiveType::RomImage, 0};
    const QString dot = QStringLiteral(" \u00B7 ");
    const QString size = "40 " + QString(QChar(0x00D7)) + " 30";
    const QString forms[] = {
        size + dot + "BMP, 24-bit" + dot + "/1: black and white" + dot +
            "124 bytes in a file store, no compression" + dot + "shots.mbm #0, ROM image",
        size + dot + "BMP, 24-bit" + dot + "/1: black and white" + dot +
            "124 bytes in a file store, no compression" + dot + "shots.mbm #0",
        size + dot + "BMP, 24-bit" + dot + "/1: black and white" + dot +
            "124 bytes, no compression" + dot + "shots.mbm #0",
        size + dot + "BMP, 24-bit" + dot + "/1" + dot + "124 bytes, no compression" + dot +
            "shots.mbm #0",
        size + dot + "/1" + dot + "124 bytes, no compression" + dot + "shots.mbm #0",
    };
    EXPECT_EQ(factsLine(f), forms[0]);
    auto chars = [](const QString& s) { return int(s.size()); };
    for (const QString& form : forms) {
        SCOPED_TRACE(form.toStdString());
        EXPECT_EQ(factsLineWithin(f, chars, int(form.size())), form);
        EXPECT_EQ(factsLineWithin(f, chars, int(form.size()) + 1), form);
    }
    EXPECT_EQ(factsLineWithin(f, chars, 5), forms[4]) << "the shortest when none fits";
}

} // namespace
