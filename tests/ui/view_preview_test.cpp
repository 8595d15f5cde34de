// The View menu on the real window: Show as stored against a saved and split archive,
// the zoom steps and their geometry, the facts line.
#include "mbm/reading_run.h"
#include "support/stored_support.h"
#include "ui/form1.h"
#include "ui/preview.h"
#include "ui/zoom_view.h"

#include <QAction>
#include <QScrollBar>
#include <QWheelEvent>

using namespace testing_support;
using namespace save_support;
using namespace stored_support;

namespace {

/// True when `shot`, grabbed from the view's top-left visible corner, shows `picture` at
/// `factor` placed at `placed` (viewport coordinates).
bool showsZoomed(const QImage& shot, const QImage& picture, const QRect& placed, int factor) {
    const QPoint origin(std::max(0, placed.left()), std::max(0, placed.top()));
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QPoint d = origin + QPoint(x, y) - placed.topLeft();
            const QPoint at(d.x() / factor, d.y() / factor); // QPoint's own division rounds
            if ((shot.pixel(x, y) & 0xFFFFFF) != (picture.pixel(at) & 0xFFFFFF)) return false;
        }
    return !shot.isNull();
}

struct ViewFixture : ::testing::Test {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    Form1 form{pf.folder(), ui};
    QTemporaryDir pics;

    // Shown, as the user sees it: the zoomed view lays out its scroll bars only then.
    void SetUp() override { withShortPauses(form).show(); }
    /// Lets the scroll bars come and go: the view shows or hides them from the event loop.
    static void settle() { QCoreApplication::processEvents(); }
    QAction* action(const char* name) { return form.findChild<QAction*>(name); }
    void click(int row) { emit form.DisplayList->clicked(form.list().index(row, 0)); }
    PreviewPane& pane() { return form.preview(); }
    ZoomView* zoomView() { return pane().zoomView(); }
    /// What the zoomed view shows of the picture, grabbed from the screen.
    QImage zoomedShot() {
        settle();
        const QRect shown = zoomView()->pictureRect() & zoomView()->viewport()->rect();
        return zoomView()->viewport()->grab(shown).toImage();
    }
    /// Where the zoomed picture lies in the frame.
    QRect zoomedInFrame() { return zoomView()->pictureRect().translated(zoomView()->pos()); }
    QString picture(const QString& name, const QImage& img, const char* format = nullptr) {
        const QString path = pics.filePath(name);
        EXPECT_TRUE(img.save(path, format));
        return path;
    }
    void add(const QString& colour, const QString& name) {
        form.list().append(colour, pics.path() + QLatin1Char('/'), name);
    }
};

// With Show as stored on, every entry's preview in the window is the saved
// archive's bitmap, at 1:1 and at 2x.
TEST_F(ViewFixture, ShowAsStoredIsTheSavedArchivePixelForPixel) {
    picture("gradient.bmp", gradientPicture(67, 23), "BMP");
    picture("colours.jpg", manyColourPicture(41, 17), "JPEG");
    for (const QString& s : colourSwitches())
        for (const char* n : {"gradient.bmp", "colours.jpg"})
            add(s, n);
    QTemporaryDir out;
    const QString target = out.filePath("saved.mbm");
    const Status saved = saveWithRealPath(pf.folder(), form.list().entries(), target);
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    const std::vector<QImage> split = splitArchive(target, form.list().count());
    ASSERT_EQ(int(split.size()), form.list().count());

    ASSERT_FALSE(action("showasstored")->isChecked()) << "off at start";
    click(0); // "/1" of the gradient: as read it is in colour, as stored black and white
    EXPECT_FALSE(samePixels(form.Image1->grab().toImage(), split[0]));
    action("showasstored")->trigger();
    ASSERT_TRUE(pane().showAsStored());
    for (int i = 0; i < form.list().count(); ++i) {
        SCOPED_TRACE(form.list().at(i).rowText().toStdString());
        click(i);
        ASSERT_FALSE(form.Image1->isHidden());
        EXPECT_TRUE(samePixels(form.Image1->grab().toImage(), split[size_t(i)]));
    }
    action("zoomin")->trigger();
    ASSERT_EQ(pane().zoom(), 2) << "the pictures fit, so zooming in starts at 2x";
    for (int i = 0; i < form.list().count(); ++i) {
        SCOPED_TRACE(form.list().at(i).rowText().toStdString());
        click(i);
        EXPECT_EQ(pane().zoom(), 2) << "the zoom stays when the selection changes";
        ASSERT_TRUE(form.Image1->isHidden());
        EXPECT_TRUE(sameEnlarged(zoomedShot(), split[size_t(i)], 2));
    }
}

TEST_F(ViewFixture, ZoomStepsAreCentredAndFitIsUnchanged) {
    picture("small.bmp", makePicture(40, 30), "BMP");
    picture("other.bmp", makePicture(20, 10, 5), "BMP");
    add("/c24", "small.bmp");
    add("/c24", "other.bmp");
    click(0);
    const QRect fitted = form.Image1->geometry();
    EXPECT_EQ(fitted.size(), QSize(40, 30));

    action("zoomin")->trigger();
    EXPECT_TRUE(form.Image1->isHidden());
    ASSERT_FALSE(zoomView()->isHidden());
    EXPECT_EQ(zoomedInFrame().size(), QSize(80, 60));
    const QPointF offCentre = QRectF(zoomedInFrame()).center() - QRectF(fitted).center();
    EXPECT_LE(std::abs(offCentre.x()), 1.0);
    EXPECT_LE(std::abs(offCentre.y()), 1.0);
    EXPECT_TRUE(sameEnlarged(zoomedShot(), makePicture(40, 30), 2));

    const int steps[] = {4, 8, 16, 16};
    for (int expected : steps) {
        action("zoomin")->trigger();
        EXPECT_EQ(pane().zoom(), expected);
    }
    EXPECT_FALSE(action("zoomin")->isEnabled());
    settle();
    // 16x is larger than the frame: it scrolls, and shows its middle first.
    QScrollBar* h = zoomView()->horizontalScrollBar();
    EXPECT_EQ(h->maximum(), 640 - zoomView()->viewport()->width());
    EXPECT_NEAR(h->value(), h->maximum() / 2, 1);
    EXPECT_TRUE(showsZoomed(zoomedShot(), makePicture(40, 30), zoomView()->pictureRect(), 16));
    EXPECT_TRUE(h->isVisible());
    EXPECT_TRUE(zoomView()->verticalScrollBar()->isVisible());

    click(1);
    EXPECT_EQ(pane().zoom(), 16);
    EXPECT_EQ(zoomView()->picture().size(), QSize(20, 10));
    const int outSteps[] = {8, 4, 2, 1};
    for (int expected : outSteps) {
        action("zoomout")->trigger();
        EXPECT_EQ(pane().zoom(), expected);
    }
    EXPECT_EQ(zoomedInFrame().size(), QSize(20, 10));
    action("zoomout")->trigger();
    EXPECT_EQ(pane().zoom(), kZoomFit);
    EXPECT_FALSE(action("zoomout")->isEnabled());
    click(0);
    EXPECT_FALSE(form.Image1->isHidden());
    EXPECT_TRUE(zoomView()->isHidden());
    EXPECT_EQ(form.Image1->geometry(), fitted);

    action("zoomin")->trigger();
    action("fit")->trigger();
    EXPECT_EQ(pane().zoom(), kZoomFit);
    EXPECT_EQ(form.Image1->geometry(), fitted);
}

TEST_F(ViewFixture, LargePicturesZoomFromOneToOneAndPanByDragging) {
    picture("large.jpg", makePicture(640, 480), "JPEG");
    add("/c16", "large.jpg");
    click(0);
    EXPECT_EQ(form.Image1->size(), QSize(371, 278)) << "Fit shrinks it as before";
    action("zoomin")->trigger();
    ASSERT_EQ(pane().zoom(), 1);
    settle();
    QScrollBar* h = zoomView()->horizontalScrollBar();
    QScrollBar* v = zoomView()->verticalScrollBar();
    ASSERT_GT(h->maximum(), 0);
    ASSERT_GT(v->maximum(), 0);
    const QPoint before(h->value(), v->value());
    QWidget* port = zoomView()->viewport();
    const QPointF from(100, 100), to(60, 70);
    QMouseEvent press(QEvent::MouseButtonPress, from, port->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, to, port->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, to, port->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(port, &press);
    QCoreApplication::sendEvent(port, &move);
    QCoreApplication::sendEvent(port, &release);
    EXPECT_EQ(QPoint(h->value(), v->value()), before + QPoint(40, 30));
    EXPECT_NEAR(before.x(), h->maximum() / 2, 1) << "the middle shows first";
    EXPECT_NEAR(before.y(), v->maximum() / 2, 1);
}

TEST_F(ViewFixture, CtrlWheelZoomsAndAChangedSwitchIsShownAtOnce) {
    picture("pic.bmp", gradientPicture(40, 30), "BMP");
    add("/c24", "pic.bmp");
    click(0);
    auto wheel = [](QWidget* target, int dy, Qt::KeyboardModifiers mods) {
        const QPointF at(5, 5);
        QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &e);
    };
    wheel(form.Frame3, 120, Qt::NoModifier);
    EXPECT_EQ(pane().zoom(), kZoomFit) << "the wheel alone does not zoom";
    wheel(form.Frame3, 120, Qt::ControlModifier);
    EXPECT_EQ(pane().zoom(), 2);
    wheel(zoomView()->viewport(), 120, Qt::ControlModifier);
    EXPECT_EQ(pane().zoom(), 4);
    wheel(zoomView()->viewport(), -120, Qt::ControlModifier);
    EXPECT_EQ(pane().zoom(), 2);
    action("fit")->trigger();

    // Set switch on the shown entry: the preview stores it with the new switch.
    action("showasstored")->trigger();
    form.list().setSelected(0, true);
    form.colourselection2->setCurrentText("/1");
    form.command6Click();
    EXPECT_EQ(pane().facts().colourSwitch, "/1");
    const QImage shown = form.Image1->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(40, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const QRgb p = shown.pixel(x, y) & 0xFFFFFF;
            ASSERT_TRUE(p == 0 || p == 0xFFFFFF) << x << "," << y;
        }
    // A file-list picture follows the switch beside Add files.
    form.colourselection->setCurrentText("/c24");
    form.showPreview(pics.filePath("pic.bmp"));
    EXPECT_TRUE(samePixels(form.Image1->grab().toImage(), gradientPicture(40, 30)));
    form.colourselection->setCurrentText("/c4");
    EXPECT_EQ(pane().facts().colourSwitch, "/c4");
    EXPECT_FALSE(samePixels(form.Image1->grab().toImage(), gradientPicture(40, 30)));
}

/// The stored size of `path` at `colour` as the converter run by hand records it, in words.
QString storedByConverter(const QString& path, const QString& colour) {
    QTemporaryDir dir;
    if (!convertPicture(path, dir.filePath("x.bmp")).ok) return {};
    if (runBmconv(dir.path(), {"a.mbm", colour + "x.bmp"}) != 0) return {};
    const RecordedBitmap r = fileStoreBitmaps(readAll(dir.filePath("a.mbm"))).at(0);
    static const char* kNames[] = {"no compression", "byte RLE",   "12-bit RLE",
                                   "16-bit RLE",     "24-bit RLE", "32-bit RLE"};
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(r.bytes) +
           " bytes in a file store, " + kNames[r.compression];
}

TEST_F(ViewFixture, FactsLineForEachKindOfPicture) {
    QImage mono(70, 20, QImage::Format_Mono);
    mono.fill(0);
    for (int x = 0; x < 70; x += 3)
        mono.setPixel(x, x % 20, 1);
    picture("photo.jpg", manyColourPicture(176, 208), "JPEG");
    ASSERT_TRUE(writeGif(pics.filePath("anim.gif"), gradientPicture(33, 12)));
    picture("mono.bmp", mono, "BMP");
    add("/c12", "photo.jpg");
    add("/c4", "anim.gif");
    add("/1", "mono.bmp");
    // An entry of a ROM image, read by a real reading run.
    const QString rom = testdata() + "/real-mbm/rc_rom8.mbm";
    StatusRecorder status;
    ReadingOptions quick;
    quick.wait = shortPauses();
    ASSERT_EQ(runReading(pf.folder(), rom, "rc_rom8.mbm", status, ui, form.project(), quick).kind,
              ReadingOutcome::Extracted);
    ASSERT_EQ(form.list().count(), 4);
    const BitmapEntry romEntry = form.list().at(3);

    // Every named control of the window (not the parts Qt makes inside them), where it is
    // before any facts are shown.
    auto controls = [this] {
        std::vector<std::pair<QString, QRect>> out;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (name.isEmpty() || name.startsWith("qt_") || w == pane().factsLabel() ||
                w == form.Image1 || zoomView()->isAncestorOf(w) || w == zoomView())
                continue;
            out.emplace_back(name, QRect(w->mapTo(&form, QPoint(0, 0)), w->size()));
        }
        return out;
    };
    const auto before = controls();
    ASSERT_GT(before.size(), 20u);
    const QString x = QString(QChar(0x00D7)), dot = QStringLiteral(" \u00B7 ");
    const QString lines[] = {
        "176 " + x + " 208" + dot + "JPEG, 24-bit" + dot + "/c12: 4,096 colours" + dot +
            storedByConverter(pics.filePath("photo.jpg"), "/c12"),
        "33 " + x + " 12" + dot + "GIF, 8-bit" + dot + "/c4: 16 colours" + dot +
            storedByConverter(pics.filePath("anim.gif"), "/c4"),
        "70 " + x + " 20" + dot + "BMP, 1-bit" + dot + "/1: black and white" + dot +
            storedByConverter(pics.filePath("mono.bmp"), "/1"),
        "40 " + x + " 40" + dot + "BMP, 24-bit" + dot + "/c8: 256 colours" + dot +
            storedByConverter(romEntry.dir + romEntry.name, "/c8") + dot +
            "rc_rom8.mbm #0, ROM image",
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        click(i);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !pane().facts().sizePending; }, 20000));
        EXPECT_EQ(factsLine(pane().facts()), lines[i]);
        const QString tip = pane().factsLabel()->toolTip();
        EXPECT_EQ(tip, factsTooltip(pane().facts()));
        EXPECT_EQ(form.Image1->toolTip(), tip);
        EXPECT_EQ(zoomView()->viewport()->toolTip(), tip);
        // The caption row shows the line whole, shortened part by part to fit: the size,
        // the switch, the bytes and the archive entry stay.
        QLabel* label = pane().factsLabel();
        const QString shown = label->text();
        const QFontMetrics metrics = label->fontMetrics();
        EXPECT_EQ(shown, factsLineWithin(
                             pane().facts(),
                             [&](const QString& t) { return metrics.horizontalAdvance(t); },
                             label->width()));
        EXPECT_LE(metrics.horizontalAdvance(shown), label->width()) << shown.toStdString();
        EXPECT_FALSE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
        const QStringList parts = lines[i].split(dot);
        EXPECT_TRUE(shown.startsWith(parts[0] + dot)) << shown.toStdString();
        EXPECT_TRUE(shown.contains(form.list().at(i).colour)) << shown.toStdString();
        EXPECT_TRUE(shown.contains(parts[3].section(' ', 0, 0) + " bytes")) << shown.toStdString();
        if (i == 3) {
            EXPECT_TRUE(shown.endsWith(dot + "rc_rom8.mbm #0")) << shown.toStdString();
        }
    }
    EXPECT_TRUE(pane().factsLabel()->toolTip().contains("From " + QDir::toNativeSeparators(rom) +
                                                        " #0, ROM image"));
    // The archive type a save builds is named, and the size follows it.
    action("compressedromimage")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane().facts().sizePending; }, 20000));
    EXPECT_TRUE(factsLine(pane().facts()).contains(" bytes in a compressed ROM image, "))
        << factsLine(pane().facts()).toStdString();
    EXPECT_EQ(pane().facts().archiveType, ArchiveType::CompressedRomImage);
    action("filestore")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane().facts().sizePending; }, 20000));
    EXPECT_EQ(factsLine(pane().facts()), lines[3]);
    const auto after = controls();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i].second, before[i].second) << after[i].first.toStdString();
    // In the caption row: right of the title, inside the frame, above the picture area.
    const QRect facts = pane().factsLabel()->geometry();
    EXPECT_GT(facts.left(), form.Frame3->fontMetrics().horizontalAdvance(form.Frame3->title()));
    EXPECT_LE(facts.right(), form.Frame3->width());
    EXPECT_LE(facts.bottom(), 2 * form.Frame3->fontMetrics().height());

    // The size comes from a worker: a click that overtakes it never gets the older size.
    click(0);
    EXPECT_TRUE(pane().facts().sizePending);
    EXPECT_TRUE(factsLine(pane().facts()).contains("working it out"));
    click(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane().facts().sizePending; }, 20000));
    QTest::qWait(50); // what the overtaken job might still deliver
    EXPECT_EQ(factsLine(pane().facts()), lines[2]);

    // A file that is no picture: the area stays empty and the line says why.
    writeAll(pics.filePath("broken.jpg"), "not a picture");
    form.showPreview(pics.filePath("broken.jpg"));
    EXPECT_TRUE(form.Image1->isHidden());
    EXPECT_TRUE(pane().factsLabel()->toolTip().contains("broken.jpg"));
}

} // namespace
