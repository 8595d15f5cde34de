// Dithering at the reduced depths: what it writes is what the converter stores, the error a
// person sees drops, and pictures the switch already holds stay as they are.
#include "mbm/dither.h"
#include "mbm/stored_preview.h"
#include "support/blur_error.h"
#include "support/stored_support.h"

#include <gtest/gtest.h>

using namespace stored_support;
using bmconv::BitmapMode;

namespace {

/// `pixels` as the converter stores them at `mode`: its own encoding, expanded back.
QImage storedAs(const QImage& pixels, BitmapMode mode) {
    ConvertedPicture p;
    p.source = pixels;
    p.pixels = pixels.convertToFormat(QImage::Format_RGB32);
    EncodedBitmap e;
    if (!encodeBitmap(p, mode, e)) return {};
    return expandBitmap(e);
}

/// A skin background: wide, soft, low-contrast shading, the kind that bands.
QImage softPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double d = std::hypot(x - w / 3.0, y - h / 4.0) / w;
            const int glow = int(40 * std::exp(-3 * d * d));
            img.setPixel(x, y, qRgb(190 + glow, 165 + glow, 140 + glow / 2));
        }
    return img;
}

/// Blocks of the given colours, 5 pixels each.
QImage blocksOf(const QList<QRgb>& colours, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, colours[(x / 5 * 7 + y / 5 * 3) % colours.size()]);
    return img;
}

// For every switch: what dithering writes is what the converter stores, and the blurred
// error of smooth pictures drops by at least 40 %.
TEST(Dither, WritesOnlyColoursTheSwitchStoresAndTheBlurredErrorDrops) {
    const struct {
        const char* colourSwitch;
        int colours; // how many colours the switch stores, each one to itself
    } cases[] = {{"/1", 2},   {"/2", 4},    {"/4", 16},     {"/8", 254},
                 {"/c4", 16}, {"/c8", 256}, {"/c12", 4096}, {"/c16", 65536}};
    const QImage smooth[] = {gradientPicture(128, 40), softPicture(90, 120)};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colourSwitch);
        const BitmapMode mode = *ditherModeOf(QString::fromLatin1(c.colourSwitch));
        const QList<QRgb> stored = storedColours(mode); // at /8 the greys 128 and 192 move
        EXPECT_EQ(stored.size(), c.colours);
        EXPECT_EQ(storedAs(blocksOf(stored, 80, 80), mode), blocksOf(stored, 80, 80));
        for (const QImage& picture : {smooth[0], smooth[1], manyColourPicture(41, 17)}) {
            const QImage dithered = ditheredPixels(picture, mode);
            // The converter's own mapping changes nothing more.
            EXPECT_EQ(storedAs(dithered, mode), dithered.convertToFormat(QImage::Format_RGB32));
            EXPECT_NE(dithered, storedAs(picture, mode)) << "not just the nearest colours";
        }
        for (const QImage& picture : smooth) {
            // A grey depth is measured against the picture's greys: no dithering brings back
            // its colours.
            const QImage seen = c.colourSwitch[1] == 'c'
                                    ? picture
                                    : picture.convertToFormat(QImage::Format_Grayscale8);
            EXPECT_LT(blur_error::blurredError(seen, storedAs(ditheredPixels(picture, mode), mode)),
                      0.6 * blur_error::blurredError(seen, storedAs(picture, mode)));
        }
    }
}

TEST(Dither, PicturesTheSwitchHoldsMasksAndFullDepthsStayUnchanged) {
    QList<QRgb> greys; // every level, 128 and 192 among them
    for (int a = 0; a < 256; ++a)
        greys << qRgb(a, a, a);
    const QImage greyEdges = gradientPicture(40, 10).convertToFormat(QImage::Format_Grayscale8);
    const struct {
        const char* name;
        QImage picture;
        BitmapMode mode;
    } cases[] = {
        {"icon in the 256-colour palette", blocksOf(storedColours(BitmapMode::C8), 40, 30),
         BitmapMode::C8},
        {"icon in the 16-colour palette", blocksOf(storedColours(BitmapMode::C4), 40, 30),
         BitmapMode::C4},
        {"icon in 4,096 colours", blocksOf(storedColours(BitmapMode::C12).mid(1000, 300), 40, 30),
         BitmapMode::C12},
        {"1-bit mask", blocksOf({qRgb(0, 0, 0), qRgb(255, 255, 255)}, 30, 20), BitmapMode::Grey1},
        {"grey mask at /1", greyEdges.convertToFormat(QImage::Format_RGB32), BitmapMode::Grey1},
        {"alpha mask at /8", blocksOf(greys, 90, 90), BitmapMode::Grey8},
        {"/c24", gradientPicture(30, 20), BitmapMode::C24},
        {"/c32a", gradientPicture(30, 20), BitmapMode::C32A},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ditheredPixels(c.picture, c.mode), c.picture);
    }
    for (const char* s : {"/c24", "/c32", "/c32a", "c8", ""})
        EXPECT_FALSE(ditherModeOf(QString::fromLatin1(s))) << s;
}

} // namespace
