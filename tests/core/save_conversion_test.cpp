// Work copies of a save: every picture kind becomes a bitmap with the same pixels.
#include "mbm/picture_conversion.h"
#include "support/save_support.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;

namespace {

class WorkCopyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(WorkCopyTest, KeepsThePixelsWhateverTheSourceKind) {
    QTemporaryDir dir;
    const QString name = QString::fromUtf8(GetParam());
    const QString source = dir.filePath(name);
    QImage img = makePicture(11, 5, 3);
    if (name.endsWith(QLatin1String(".gif"))) {
        ASSERT_TRUE(writeGif(source, img));
    } else if (name.endsWith(QLatin1String(".png"))) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        ASSERT_TRUE(img.save(source));
    } else {
        // A JPEG saved under a .bmp name is still read: pictures are read by content.
        ASSERT_TRUE(img.save(source, name.startsWith(QLatin1String("jpeg")) ? "JPEG" : "BMP"));
    }
    const QString target = dir.filePath(QStringLiteral("out.bmp"));
    writeAll(target, "a longer stale file that must be replaced entirely by the bitmap");
    const Status s = convertPicture(source, target, WriteMode::Direct);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(readAll(target).left(2), QByteArray("BM"));
    EXPECT_TRUE(samePixels(QImage(target), QImage(source)));
}

INSTANTIATE_TEST_SUITE_P(Kinds, WorkCopyTest,
                         ::testing::Values("a.bmp", "b.gif", "c.png", "jpeg-named.bmp"));

TEST(WorkCopy, FailuresNameTheFileAndLeaveNoPartialBitmap) {
    QTemporaryDir dir;
    writeAll(dir.filePath(QStringLiteral("bad.jpg")), "not a picture");
    Status s = convertPicture(dir.filePath(QStringLiteral("bad.jpg")),
                              dir.filePath(QStringLiteral("bad.bmp")), WriteMode::Direct);
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("bad.jpg")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("bad.bmp"))));

    ASSERT_TRUE(makePicture(3, 3).save(dir.filePath(QStringLiteral("ok.bmp"))));
    s = convertPicture(dir.filePath(QStringLiteral("ok.bmp")),
                       dir.filePath(QStringLiteral("missing/out.bmp")), WriteMode::Direct);
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("out.bmp")));
}

} // namespace
