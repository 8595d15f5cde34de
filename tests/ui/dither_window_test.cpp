// Tools > Dither reduced depths and View > Compare with source on the real window: a save
// with dithering on splits to what Show as stored shows, and the comparison shows the source
// beside it at one zoom.
#include "support/stored_support.h"
#include "ui/form1.h"

#include <QAction>
#include <QTest>

using namespace testing_support;
using namespace save_support;
using namespace stored_support;

namespace {

TEST(DitherWindow, ASaveWithDitheringSplitsToWhatShowAsStoredShows) {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    Form1 form{pf.folder(), ui};
    withShortPauses(form).show();
    QTemporaryDir pics, out;
    const QString dir = pics.path() + QLatin1Char('/');
    const QImage gradient = gradientPicture(160, 48);
    ASSERT_TRUE(gradient.save(dir + "gradient.bmp", "BMP"));
    ASSERT_TRUE(gradientPicture(30, 40).save(dir + "tall.jpg", "JPEG"));
    for (const char* s : {"/c8", "/c24", "/c16", "/2"})
        form.list().append(QString::fromLatin1(s), dir, QStringLiteral("gradient.bmp"));
    form.list().append(QStringLiteral("/c4"), dir, QStringLiteral("tall.jpg"));
    auto action = [&form](const char* name) { return form.findChild<QAction*>(name); };

    ASSERT_FALSE(form.project().ditherReducedDepths()) << "off at start";
    action("ditherreduceddepths")->trigger();
    ASSERT_TRUE(form.project().ditherReducedDepths());
    ui.answer(out.filePath(QStringLiteral("dithered")));
    form.save();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Timer1->isActive(); }, 60000));
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text.toStdString();
    const std::vector<QImage> split =
        splitArchive(out.filePath(QStringLiteral("dithered.mbm")), form.list().count());
    ASSERT_EQ(int(split.size()), form.list().count());

    action("showasstored")->trigger();
    for (int i = 0; i < form.list().count(); ++i) {
        SCOPED_TRACE(form.list().at(i).rowText().toStdString());
        emit form.DisplayList->clicked(form.list().index(i, 0));
        EXPECT_TRUE(samePixels(form.preview().shownImage(), split[size_t(i)]));
    }
    // The /c24 entry of the same picture has its own, undithered bitmap.
    EXPECT_TRUE(samePixels(split[1], asConverterKeepsIt(gradient)));
    action("ditherreduceddepths")->trigger(); // off: the preview shows the plain /c8 again
    emit form.DisplayList->clicked(form.list().index(0, 0));
    EXPECT_FALSE(samePixels(form.preview().shownImage(), split[0]));

    // The wide gradient is compared one above the other, the tall picture side by side.
    action("ditherreduceddepths")->trigger();
    action("comparewithsource")->trigger();
    const struct {
        int row;
        QPoint storedAt;
    } compared[] = {{0, {0, 48 + 4}}, {4, {30 + 4, 0}}};
    for (const auto& c : compared) {
        SCOPED_TRACE(c.row);
        emit form.DisplayList->clicked(form.list().index(c.row, 0));
        const QImage both = form.preview().shownImage();
        const QImage& stored = split[size_t(c.row)];
        ASSERT_EQ(both.size(),
                  QSize(c.storedAt.x() + stored.width(), c.storedAt.y() + stored.height()));
        EXPECT_TRUE(samePixels(both.copy(QRect(c.storedAt, stored.size())), stored));
        EXPECT_TRUE(samePixels(both.copy(QRect(QPoint(0, 0), stored.size())),
                               QImage(dir + form.list().at(c.row).name)));
    }
}

} // namespace
