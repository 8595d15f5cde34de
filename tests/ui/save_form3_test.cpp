// The conversion window: progress, target names, pictures that cannot be read.
#include "support/save_support.h"
#include "ui/form3.h"

#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;

namespace {

struct ConversionRun {
    std::vector<float> progress;
    QStringList failures;
    bool finished = false;
};

/// Fills a fresh Form3 with the pictures of `folder`, starts it and waits until it is gone.
ConversionRun convert(const QString& folder, const QStringList& names, const QString& target,
                      const QStringList& targetNames = {}) {
    ConversionRun run;
    QPointer<Form3> f = new Form3;
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Converting ..."));
    EXPECT_EQ(f->Label1->text(), QStringLiteral("Converting: "));
    for (const QString& n : names) {
        f->List1->addItem(folder + QLatin1Char('/'));
        f->List2->addItem(n);
    }
    for (const QString& n : targetNames)
        f->List3->addItem(n);
    f->Text1->setText(QStringLiteral("bmp"));
    f->Text2->setText(target + QLatin1Char('/'));
    QObject::connect(f, &Form3::progressChanged, [&run](float v) { run.progress.push_back(v); });
    QObject::connect(f, &Form3::finished, [&run](const QStringList& failures) {
        run.failures = failures;
        run.finished = true;
    });
    f->show();
    f->startconvert();
    EXPECT_TRUE(f->Timer1->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.isNull(); }, 30000)) << "the window unloads itself";
    return run;
}

TEST(Form3Conversion, ThreePicturesGiveTheDocumentedProgressAndBitmaps) {
    QTemporaryDir src, dst;
    ASSERT_TRUE(makePicture(5, 4, 1).save(src.filePath(QStringLiteral("a.jpg"))));
    ASSERT_TRUE(writeGif(src.filePath(QStringLiteral("b.gif")), makePicture(6, 3, 2)));
    ASSERT_TRUE(makePicture(7, 2, 3).save(src.filePath(QStringLiteral("c.bmp"))));
    const QStringList names = {"a.jpg", "b.gif", "c.bmp"};
    const ConversionRun run = convert(src.path(), names, dst.path());
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.failures.isEmpty()) << run.failures.join(' ').toStdString();
    ASSERT_EQ(run.progress.size(), 3u);
    EXPECT_FLOAT_EQ(run.progress[0], 100.0f / 3.0f);
    EXPECT_FLOAT_EQ(run.progress[1], 200.0f / 3.0f);
    EXPECT_FLOAT_EQ(run.progress[2], 100.0f);
    for (const QString& n : names) {
        const QString bmp = dst.filePath(n.left(1) + QStringLiteral(".bmp"));
        EXPECT_EQ(readAll(bmp).left(2), QByteArray("BM")) << n.toStdString();
        EXPECT_TRUE(samePixels(QImage(bmp), QImage(src.filePath(n)))) << n.toStdString();
    }
}

TEST(Form3Conversion, NamesTheTargetAfterTheLastDotOrAfterList3) {
    QTemporaryDir src, dst;
    ASSERT_TRUE(makePicture(3, 3).save(src.filePath(QStringLiteral("photo.jpeg")), "JPEG"));
    ASSERT_TRUE(makePicture(3, 3).save(src.filePath(QStringLiteral("x.png"))));
    const ConversionRun run = convert(src.path(), {"photo.jpeg"}, dst.path());
    EXPECT_TRUE(run.failures.isEmpty());
    EXPECT_EQ(filesIn(dst.path()), QStringList({"photo.bmp"}));
    const ConversionRun named = convert(src.path(), {"x.png"}, dst.path(), {"work_2.bmp"});
    EXPECT_TRUE(named.failures.isEmpty());
    EXPECT_EQ(filesIn(dst.path()), QStringList({"photo.bmp", "work_2.bmp"}));
}

TEST(Form3Conversion, SkipsWhatCannotBeReadAndStillCloses) {
    QTemporaryDir src, dst;
    writeAll(src.filePath(QStringLiteral("bad.jpg")), "not a picture");
    ASSERT_TRUE(makePicture(4, 4).save(src.filePath(QStringLiteral("good.bmp"))));
    const ConversionRun run =
        convert(src.path(), {"missing.gif", "bad.jpg", "good.bmp"}, dst.path());
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.failures.size(), 2);
    EXPECT_TRUE(run.failures[0].contains(QLatin1String("missing.gif")));
    EXPECT_TRUE(run.failures[1].contains(QLatin1String("bad.jpg")));
    EXPECT_EQ(run.progress.size(), 3u);
    EXPECT_EQ(filesIn(dst.path()), QStringList({"good.bmp"}));
}

} // namespace
