// The conversion's resolution and alpha: what the converter reads as twips and alpha values.
#include "mbm/picture_conversion.h"
#include "support/save_support.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;

namespace {

QByteArray encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&b, format));
    return bytes;
}

QImage withResolution(QImage img, int dpm) {
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    return img;
}

/// A BMP stating `x` x `y` pixels per metre (0 for none, as a split writes it).
QByteArray bmpStating(int x, int y) {
    QByteArray bytes = encoded(makePicture(5, 4), "BMP");
    qToLittleEndian<qint32>(x, bytes.data() + 38);
    qToLittleEndian<qint32>(y, bytes.data() + 42);
    return bytes;
}

/// A PNG without its pHYs chunk: a file that states no resolution.
QByteArray pngWithoutPhys() {
    const QByteArray png = encoded(makePicture(5, 4), "PNG");
    QByteArray out = png.left(8);
    for (int at = 8; at + 8 <= png.size();) {
        const int length = int(qFromBigEndian<quint32>(png.constData() + at));
        if (png.mid(at + 4, 4) != "pHYs") out += png.mid(at, 12 + length);
        at += 12 + length;
    }
    return out;
}

/// A JPEG whose JFIF header gives only the pixels' aspect (units 0).
QByteArray jpegWithoutDensity() {
    QByteArray jpeg = encoded(makePicture(5, 4), "JPEG");
    EXPECT_EQ(jpeg.mid(6, 4), QByteArray("JFIF"));
    jpeg[13] = 0;
    return jpeg;
}

struct ResolutionCase {
    const char* label;
    QByteArray file;
    int x, y;
};

class ResolutionTest : public ::testing::TestWithParam<ResolutionCase> {};

// The bitmap states what the source states, and nothing when it states nothing.
TEST_P(ResolutionTest, BitmapStatesTheSourcesResolution) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("in.pic"));
    writeAll(source, GetParam().file);
    const QString target = dir.filePath(QStringLiteral("out.bmp"));
    const Status s = convertPicture(source, target, WriteMode::Direct);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    const QByteArray bmp = readAll(target);
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 38), GetParam().x);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 42), GetParam().y);
    EXPECT_TRUE(samePixels(QImage(target), QImage(source)));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ResolutionTest,
    ::testing::Values(ResolutionCase{"bmp_none", bmpStating(0, 0), 0, 0},
                      ResolutionCase{"bmp_own", bmpStating(2835, 5670), 2835, 5670},
                      ResolutionCase{"bmp_96dpi", bmpStating(3780, 3780), 3780, 3780},
                      ResolutionCase{"png_none", pngWithoutPhys(), 0, 0},
                      ResolutionCase{"png_own",
                                     encoded(withResolution(makePicture(5, 4), 3937), "PNG"), 3937,
                                     3937},
                      ResolutionCase{"png_96dpi",
                                     encoded(withResolution(makePicture(5, 4), 3780), "PNG"), 3780,
                                     3780},
                      ResolutionCase{"jpeg_aspect_only", jpegWithoutDensity(), 0, 0}),
    [](const auto& info) { return std::string(info.param.label); });

// The GIF writer works on paths; a JPEG's density is taken as Qt reads it.
TEST(Resolution, GifStatesNoneAndJpegKeepsItsDensity) {
    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("g.gif"));
    ASSERT_TRUE(writeGif(gif, makePicture(4, 3)));
    const ConvertedPicture g = convertedImage(gif);
    ASSERT_TRUE(g.ok());
    EXPECT_EQ(g.dotsPerMeterX, 0);
    for (const int dpm : {3780, 11811}) { // 96 and 300 dpi
        const QString jpeg = dir.filePath(QStringLiteral("j.jpg"));
        ASSERT_TRUE(withResolution(makePicture(4, 3), dpm).save(jpeg, "JPEG"));
        const ConvertedPicture j = convertedImage(jpeg);
        ASSERT_TRUE(j.ok());
        EXPECT_EQ(j.dotsPerMeterX, QImage(jpeg).dotsPerMeterX());
        EXPECT_NEAR(j.dotsPerMeterX, dpm, 2);
    }
}

/// A picture whose alpha runs over every value.
QImage alphaRamp(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba(x * 20, y * 30, 99, (x * 37 + y * 11) & 255));
    return img;
}

QImage greyIndexed(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_Indexed8);
    QList<QRgb> grey;
    for (int i = 0; i < 256; ++i)
        grey << qRgb(i, i, i);
    img.setColorTable(grey);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, uint((x * 7 + y * 13 + seed) & 255));
    return img;
}

struct AlphaCase {
    const char* label;
    bool ownAlpha; ///< a PNG with an alpha channel, else a BMP without
    int companion; ///< 0 none; 1 an alpha file beside it; 2 one of another size
    bool expectOk;
};

class AlphaTest : public ::testing::TestWithParam<AlphaCase> {};

TEST_P(AlphaTest, AlphaFileHoldsTheAlphaAsIndexBytes) {
    const AlphaCase& c = GetParam();
    QTemporaryDir dir;
    const QString source = dir.filePath(c.ownAlpha ? "pic.png" : "pic.bmp");
    const QImage picture = c.ownAlpha ? alphaRamp(7, 5) : makePicture(7, 5);
    ASSERT_TRUE(picture.save(source));
    const QImage companion = greyIndexed(c.companion == 2 ? 6 : 7, 5, 3);
    if (c.companion) {
        ASSERT_TRUE(companion.save(dir.filePath("pic-alpha.") + source.right(3)));
    }
    const QString target = dir.filePath(QStringLiteral("w.bmp"));
    const Status s = convertPicture(source, target, WriteMode::Direct, true);
    ASSERT_EQ(s.ok, c.expectOk) << s.error.toStdString();
    if (!c.expectOk) {
        EXPECT_TRUE(s.error.contains(QLatin1String("pic-alpha"))) << s.error.toStdString();
        EXPECT_FALSE(QFile::exists(target)) << "no bitmap without its alpha file";
        return;
    }
    const QByteArray alphaBytes = readAll(dir.filePath(QStringLiteral("w-alpha.bmp")));
    ASSERT_GE(alphaBytes.size(), 54);
    EXPECT_EQ(qFromLittleEndian<quint16>(alphaBytes.constData() + 28), 8) << "bits per pixel";
    const QImage alpha(dir.filePath(QStringLiteral("w-alpha.bmp")));
    ASSERT_EQ(alpha.size(), picture.size());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const int expected = c.ownAlpha    ? qAlpha(picture.pixel(x, y))
                                 : c.companion ? companion.pixelIndex(x, y)
                                               : 255;
            ASSERT_EQ(alpha.pixelIndex(x, y), expected) << x << "," << y;
        }
    EXPECT_TRUE(samePixels(QImage(target), picture));
}

INSTANTIATE_TEST_SUITE_P(Sources, AlphaTest,
                         ::testing::Values(AlphaCase{"own_channel", true, 0, true},
                                           AlphaCase{"own_channel_wins", true, 1, true},
                                           AlphaCase{"alpha_file_beside", false, 1, true},
                                           AlphaCase{"opaque", false, 0, true},
                                           AlphaCase{"alpha_file_of_other_size", false, 2, false}),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
