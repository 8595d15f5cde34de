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
                                "/c12: 4,096 colours" + dot + "52,180 bytes, 12-bit RLE");
    EXPECT_EQ(factsTooltip(f), "176 " + x +
                                   " 208 pixels\nJPEG, 24-bit\n/c12: 4,096 colours\n52,180 bytes "
                                   "in the archive, 12-bit RLE");

    f.origin = {"/home/u/icons/app.mbm", ArchiveType::CompressedRomImage, 3};
    f.colourSwitch = "/1";
    f.stored.compression = 0;
    EXPECT_TRUE(factsLine(f).endsWith(dot + "/1: black and white" + dot +
                                      "52,180 bytes, no compression" + dot +
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

} // namespace
