// Dithering at the reduced depths: what it writes is what the converter stores, pictures the
// switch already holds stay as they are, the error a person sees drops, and a save plans one
// bitmap per picture and dithered switch.
#include "mbm/dither.h"
#include "mbm/save_plan.h"
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

TEST(Dither, WritesOnlyColoursTheSwitchStoresAndChangesWhatItReduces) {
    const struct {
        const char* colourSwitch;
        int colours; // how many colours the switch stores, each one to itself
    } cases[] = {{"/1", 2},   {"/2", 4},    {"/4", 16},     {"/8", 254}, // 128 and 192 move
                 {"/c4", 16}, {"/c8", 256}, {"/c12", 4096}, {"/c16", 65536}};
    const QImage pictures[] = {gradientPicture(67, 23), manyColourPicture(41, 17),
                               softPicture(50, 40)};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colourSwitch);
        const std::optional<BitmapMode> mode = ditherModeOf(QString::fromLatin1(c.colourSwitch));
        ASSERT_TRUE(mode);
        const QList<QRgb> stored = storedColours(*mode);
        EXPECT_EQ(stored.size(), c.colours);
        EXPECT_EQ(storedAs(blocksOf(stored, 80, 80), *mode), blocksOf(stored, 80, 80));
        for (const QImage& picture : pictures) {
            const QImage dithered = ditheredPixels(picture, *mode);
            ASSERT_EQ(dithered.size(), picture.size());
            // The converter's own mapping changes nothing more.
            EXPECT_EQ(storedAs(dithered, *mode), dithered.convertToFormat(QImage::Format_RGB32));
            EXPECT_NE(dithered, storedAs(picture, *mode)) << "not just the nearest colours";
        }
    }
}

TEST(Dither, PicturesTheSwitchHoldsMasksAndFullDepthsStayUnchanged) {
    QImage mask(30, 20, QImage::Format_RGB32), alphaMask(30, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            mask.setPixel(x, y,
                          (x - 15) * (x - 15) + (y - 10) * (y - 10) < 60 ? 0xFF000000 : 0xFFFFFFFF);
            const int a = (x * 9 + y * 3) % 256; // every level, 128 and 192 among them
            alphaMask.setPixel(x, y, qRgb(a, a, a));
        }
    QImage greyEdges = gradientPicture(40, 10).convertToFormat(QImage::Format_Grayscale8);
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
        {"1-bit mask", mask, BitmapMode::Grey1},
        {"grey mask at /1", greyEdges.convertToFormat(QImage::Format_RGB32), BitmapMode::Grey1},
        {"alpha mask at /8", alphaMask, BitmapMode::Grey8},
        {"/c24", gradientPicture(30, 20), BitmapMode::C24},
        {"/c32", gradientPicture(30, 20), BitmapMode::C32},
        {"/c32a", gradientPicture(30, 20), BitmapMode::C32A},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ditheredPixels(c.picture, c.mode), c.picture);
    }
    for (const char* s : {"/c24", "/c32", "/c32a", "c8", ""})
        EXPECT_FALSE(ditherModeOf(QString::fromLatin1(s))) << s;
}

TEST(Dither, TheBlurredErrorDrops) {
    const struct {
        const char* name;
        QImage picture;
        const char* colourSwitch;
        double most; // dithered error / undithered error
    } cases[] = {
        {"gradient", gradientPicture(128, 40), "/c8", 0.6},
        {"gradient", gradientPicture(128, 40), "/c12", 0.6},
        {"gradient", gradientPicture(128, 40), "/c16", 0.6},
        {"gradient", gradientPicture(128, 40), "/c4", 0.9},
        {"gradient", gradientPicture(128, 40), "/2", 0.99},
        {"skin", softPicture(90, 120), "/c8", 0.6},
        {"skin", softPicture(90, 120), "/c16", 0.6},
        {"skin", softPicture(90, 120), "/4", 0.99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.colourSwitch);
        const BitmapMode mode = *ditherModeOf(QString::fromLatin1(c.colourSwitch));
        const double plain = blur_error::blurredError(c.picture, storedAs(c.picture, mode));
        const double dithered =
            blur_error::blurredError(c.picture, storedAs(ditheredPixels(c.picture, mode), mode));
        EXPECT_LT(dithered, c.most * plain) << plain << " " << dithered;
    }
}

TEST(Dither, ASavePlansOneBitmapPerPictureAndDitheredSwitch) {
    const std::vector<BitmapEntry> entries = {{"/c8", "/p/", "pic.bmp"},
                                              {"/c24", "/p/", "pic.bmp"},
                                              {"/c8", "/p/", "pic.bmp"},
                                              {"/2", "/p/", "pic.bmp"},
                                              {"/c32a", "/p/", "pic.bmp"}};
    const struct {
        bool dither;
        QStringList workNames;
        std::vector<std::optional<BitmapMode>> ditherTo; // per planned picture
    } cases[] = {
        {false, {"pic.bmp", "pic.bmp", "pic.bmp", "pic.bmp", "pic.bmp"}, {std::nullopt}},
        {true,
         {"pic.bmp", "pic_2.bmp", "pic.bmp", "pic_3.bmp", "pic_2.bmp"},
         {BitmapMode::C8, std::nullopt, BitmapMode::Grey2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dither);
        const SavePlan plan =
            makeSavePlan(ProgramFolder(QStringLiteral("/x")), entries, QStringLiteral("out"),
                         QStringLiteral("/o/out.mbm"), {ArchiveType::FileStore, false, c.dither});
        EXPECT_EQ(plan.workNames, c.workNames);
        ASSERT_EQ(plan.pictures.size(), c.ditherTo.size());
        for (size_t i = 0; i < c.ditherTo.size(); ++i) {
            EXPECT_EQ(plan.pictures[i].ditherTo, c.ditherTo[i]) << i;
            // The alpha file goes with the undithered bitmap the /c32a entry uses.
            EXPECT_EQ(plan.pictures[i].keepAlpha, plan.pictures[i].workName == c.workNames[4]);
        }
    }
}

} // namespace
