// The picture as stored: in-process, it must give what a save and a split give.
#include "mbm/stored_preview.h"
#include "support/stored_support.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;
using namespace stored_support;
using bmconv::BitmapMode;

namespace {

// Every switch, on pictures of every kind the save converts (a translucent one included):
// the as-stored pixels, alpha and stored size equal what the real save path put into the
// archive and a split gives back.
TEST(StoredPicture, EqualsTheSplitOfTheSavedArchiveForEverySwitch) {
    TempProgramFolder pf;
    QTemporaryDir pics;
    const QString dir = pics.path() + QLatin1Char('/');
    QImage translucent = manyColourPicture(19, 9).convertToFormat(QImage::Format_ARGB32);
    for (int y = 2; y < 5; ++y)
        for (int x = 0; x < translucent.width(); ++x)
            translucent.setPixel(x, y, qRgba(200, 40 * y, 90, x * 13));
    ASSERT_TRUE(gradientPicture(67, 23).save(dir + "gradient.bmp", "BMP"));
    ASSERT_TRUE(manyColourPicture(41, 17).save(dir + "colours.jpg", "JPEG"));
    ASSERT_TRUE(manyColourPicture(33, 7).save(dir + "noise.bmp", "BMP"));
    ASSERT_TRUE(writeGif(dir + "palette.gif", gradientPicture(29, 11)));
    ASSERT_TRUE(translucent.save(dir + "translucent.png", "PNG"));
    std::vector<BitmapEntry> entries;
    for (const QString& s : colourSwitches())
        for (const char* n :
             {"gradient.bmp", "colours.jpg", "noise.bmp", "palette.gif", "translucent.png"})
            entries.push_back({s, dir, n});
    // Large enough to be encoded and expanded in two halves at once.
    ASSERT_TRUE(manyColourPicture(1031, 521).save(dir + "large.bmp", "BMP"));
    for (const char* s : {"/1", "/c4", "/c12", "/c24", "/c32a"})
        entries.push_back({s, dir, "large.bmp"});

    QTemporaryDir out;
    const QString target = out.filePath("stored.mbm");
    const Status saved = saveWithRealPath(pf.folder(), entries, target);
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    const std::vector<SplitBitmap> split = splitWithAlpha(target, int(entries.size()));
    ASSERT_EQ(split.size(), entries.size());
    const std::vector<RecordedBitmap> recorded = fileStoreBitmaps(readAll(target));
    ASSERT_EQ(recorded.size(), entries.size());

    for (size_t i = 0; i < entries.size(); ++i) {
        const BitmapEntry& e = entries[i];
        SCOPED_TRACE((e.colour + e.name).toStdString());
        const std::optional<BitmapMode> mode = modeOfSwitch(e.colour);
        ASSERT_TRUE(mode.has_value());
        const bool withAlpha = *mode == BitmapMode::C32A;
        StoredBitmap stored;
        const Status s = storeBitmap(convertedImage(e.dir + e.name, withAlpha), *mode,
                                     ArchiveType::FileStore, stored);
        ASSERT_TRUE(s.ok) << s.error.toStdString();
        EXPECT_TRUE(samePixels(stored.image, split[i].colour));
        EXPECT_EQ(stored.size.bitmapBytes, recorded[i].bytes);
        EXPECT_EQ(stored.size.compression, recorded[i].compression);
        ASSERT_EQ(split[i].alpha.isNull(), !withAlpha);
        ASSERT_EQ(stored.image.hasAlphaChannel(), withAlpha);
        if (!withAlpha) continue;
        for (int y = 0; y < stored.image.height(); ++y)
            for (int x = 0; x < stored.image.width(); ++x)
                ASSERT_EQ(qAlpha(stored.image.pixel(x, y)), qGray(split[i].alpha.pixel(x, y)))
                    << x << "," << y;
    }
}

// The size in the archive follows the archive type: the bytes from the first bitmap to the
// end of what the save built with that type.
TEST(StoredPicture, SizeFollowsTheArchiveType) {
    TempProgramFolder pf;
    QTemporaryDir dir;
    // Flat halves compress well at every scheme.
    QImage halves(30, 10, QImage::Format_RGB32);
    halves.fill(qRgb(200, 30, 30));
    for (int y = 5; y < 10; ++y)
        for (int x = 0; x < 30; ++x)
            halves.setPixel(x, y, qRgb(20, 40, 220));
    ASSERT_TRUE(halves.save(dir.filePath("pic.bmp"), "BMP"));
    const struct {
        ArchiveType type;
        qint64 firstBitmapAt; // after the file store's header, or the ROM image's table
        qint64 trailing;      // the file store's trailer: count and one offset
        bool compressed;
    } cases[] = {
        {ArchiveType::FileStore, 20, 8, true},
        {ArchiveType::UncompressedFileStore, 20, 8, false},
        {ArchiveType::RomImage, 12, 0, false},
        {ArchiveType::CompressedRomImage, 12, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(archiveTypeName(c.type).toStdString());
        const QString target = dir.filePath("a.mbm");
        const BitmapEntry entry{"/c16", dir.path() + "/", "pic.bmp"};
        ASSERT_TRUE(saveWithRealPath(pf.folder(), {entry}, target, c.type).ok);
        const qint64 archiveBytes = readAll(target).size();
        EncodedBitmap encoded;
        ASSERT_TRUE(
            encodeBitmap(convertedImage(dir.filePath("pic.bmp")), BitmapMode::C16, encoded).ok);
        const StoredSize size = sizeInArchive(encoded, c.type);
        EXPECT_EQ(size.bitmapBytes, archiveBytes - c.firstBitmapAt - c.trailing);
        EXPECT_EQ(size.compression != 0, c.compressed);
        EXPECT_EQ(size.pixelBytes, 60 * 10); // 16 bpp rows of 30 pixels fill 15 words
    }
}

// What the converter would refuse, the preview refuses with the reason.
TEST(StoredPicture, RefusesWhatTheConverterWouldRefuse) {
    for (const char* s : {"/c", "c8", "/c64", ""})
        EXPECT_FALSE(modeOfSwitch(s).has_value()) << s;
    for (const QString& s : colourSwitches())
        EXPECT_TRUE(modeOfSwitch(s).has_value()) << s.toStdString();

    StoredBitmap stored;
    ConvertedPicture unread;
    unread.error = "x.jpg could not be read";
    Status s = storeBitmap(unread, BitmapMode::C8, ArchiveType::FileStore, stored);
    EXPECT_EQ(s.error, unread.error);
    // Beyond what the converter accepts the preview says so, as the save would fail.
    ConvertedPicture huge;
    huge.pixels = QImage(65536, 1, QImage::Format_RGB32);
    s = storeBitmap(huge, BitmapMode::Grey1, ArchiveType::FileStore, stored);
    EXPECT_TRUE(s.error.contains("too large")) << s.error.toStdString();
    // /c32a without the alpha values the conversion gives it.
    ConvertedPicture noAlpha;
    noAlpha.pixels = gradientPicture(4, 4);
    s = storeBitmap(noAlpha, BitmapMode::C32A, ArchiveType::FileStore, stored);
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(storeBitmap(noAlpha, BitmapMode::C32, ArchiveType::FileStore, stored).ok);
}

} // namespace
