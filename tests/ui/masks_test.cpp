// Icons with their masks on the real window: masks made when adding, saved and split by the
// real converter, the phone's view, PNG files back out, and pairs kept by moves and removals.
#include "mbm/demo_icons.h"
#include "project/list_commands.h"
#include "support/stored_support.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <QAction>
#include <QKeyEvent>

using namespace testing_support;
using namespace save_support;
using namespace stored_support;

namespace {

/// An icon of w x h whose alpha runs through every level, the ones the converter treats
/// specially (128, 192) and both ends among them, with colours that differ per pixel.
QImage gradedIcon(int w, int h) {
    QImage icon(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int i = y * w + x;
            icon.setPixel(x, y, qRgba((x * 37) % 256, (y * 53) % 256, (i * 11) % 256, i % 256));
        }
    return icon;
}

struct MaskFixture : ::testing::Test {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    Form1 form{pf.folder(), ui};
    QTemporaryDir pics;
    QTemporaryDir out;

    void SetUp() override { withShortPauses(form).show(); }
    QAction* action(const char* name) { return form.findChild<QAction*>(name); }
    void click(int row) { emit form.DisplayList->clicked(form.list().index(row, 0)); }
    QString picture(const QString& name, const QImage& img) {
        const QString path = pics.filePath(name);
        EXPECT_TRUE(img.save(path));
        return path;
    }
    /// Drops the pictures on the Project list, as a file manager does.
    void drop(const QStringList& paths) {
        std::vector<HandedFile> files;
        for (const QString& p : paths)
            files.push_back({p, FileKind::Picture});
        form.takeDroppedFiles(files);
    }
    QStringList rows() {
        QStringList out;
        for (const BitmapEntry& e : form.list().entries())
            out << e.rowText();
        return out;
    }
    void select(const std::vector<int>& rowsToSelect) {
        form.list().selectionModel()->clearSelection();
        for (int r : rowsToSelect)
            form.list().setSelected(r, true);
    }
};

struct MaskCase {
    const char* kindItem;
    bool white;
    const char* maskRow;
};

class MaskKinds : public MaskFixture, public ::testing::WithParamInterface<MaskCase> {};

/// The alpha a mask of this case stands for at a source alpha: 8-bit exactly, 1-bit drawn
/// (255) from 128 on.
int expectedAlpha(const MaskCase& c, int alpha) {
    if (QString(c.maskRow).startsWith("/8")) return alpha;
    return alpha >= 128 ? 255 : 0;
}

// The whole way of an icon: added with its mask, saved, split, shown as the phone draws it
// and written back as PNG.
TEST_P(MaskKinds, SplitMaskPhoneViewAndPngFollowTheAlpha) {
    const MaskCase c = GetParam();
    const QImage icon = gradedIcon(32, 9);
    action(c.kindItem)->trigger();
    if (c.white) action("maskwhite")->trigger();
    form.colourselection->setCurrentText("/c24");
    drop({picture("icon.png", icon)});
    ASSERT_EQ(rows(), QStringList({"/c24icon.png", c.maskRow}));
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text.toStdString();

    const QString target = out.filePath("icons.mbm");
    const Status saved = saveWithRealPath(pf.folder(), form.list().entries(), target);
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    const std::vector<QImage> split = splitArchive(target, 2);
    ASSERT_EQ(split.size(), 2u);
    const QImage& colour = split[0];
    const QImage& mask = split[1];
    ASSERT_EQ(mask.size(), icon.size());
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const QRgb src = icon.pixel(x, y);
            const int a = expectedAlpha(c, qAlpha(src));
            // A 1-bit mask's drawn pixels are black unless the convention says white.
            const int grey = QString(c.maskRow).startsWith("/8") ? a
                             : (a == 255) == c.white             ? 255
                                                                 : 0;
            ASSERT_EQ(mask.pixel(x, y) & 0xFFFFFF, qRgb(grey, grey, grey) & 0xFFFFFF);
            const QRgb want = qAlpha(src) == 0 ? qRgb(0, 0, 0) : src;
            ASSERT_EQ(colour.pixel(x, y) & 0xFFFFFF, want & 0xFFFFFF) << "flat under transparency";
        }

    // The phone's view over white, against a blend of the split bitmaps.
    action("showasstored")->trigger();
    action("white")->trigger();
    click(0);
    const QImage shown = form.preview().shownImage();
    ASSERT_EQ(shown.size(), icon.size());
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const int a = expectedAlpha(c, qAlpha(icon.pixel(x, y)));
            const QRgb s = colour.pixel(x, y);
            auto mix = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
            ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF,
                      qRgb(mix(qRed(s)), mix(qGreen(s)), mix(qBlue(s))) & 0xFFFFFF)
                << x << "," << y;
        }
    const QString facts = form.preview().factsLabel()->toolTip();
    EXPECT_TRUE(facts.contains(QString(c.maskRow).startsWith("/8") ? "with mask (8-bit soft)"
                                                                   : "with mask (1-bit)"))
        << facts.toStdString();

    // Back out as one PNG whose alpha is the mask.
    select({0, 1});
    form.savePngSelected();
    auto* folder = qobject_cast<Form2*>(form.form(2));
    ASSERT_NE(folder, nullptr);
    ASSERT_TRUE(folder->Dir1->setPath(out.path()));
    folder->Command1->click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(QDir(out.path()).entryList({"*.png"}), QStringList({"icon.png"}))
        << "the mask is in its icon's PNG";
    const QImage png = QImage(out.filePath("icon.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(png.size(), icon.size());
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb src = icon.pixel(x, y);
            ASSERT_EQ(qAlpha(png.pixel(x, y)), expectedAlpha(c, qAlpha(src))) << x << "," << y;
            if (qAlpha(src) > 0) {
                ASSERT_EQ(png.pixel(x, y) & 0xFFFFFF, src & 0xFFFFFF);
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Masks, MaskKinds,
                         ::testing::Values(MaskCase{"mask8bit", false, "/8icon_mask.bmp"},
                                           MaskCase{"mask1bit", false, "/1icon_mask.bmp"},
                                           MaskCase{"mask1bit", true, "/1icon_mask.bmp"}));

// A picture without transparency is added alone, a name already taken gets a number and
// no mask overwrites another; without a mask the facts tell what the depth loses.
TEST_F(MaskFixture, TakenNamesAreNumberedAndOpaquePicturesStayAlone) {
    // 37 of its 100 pixels are not fully opaque.
    QImage icon(10, 10, QImage::Format_ARGB32);
    icon.fill(qRgba(10, 200, 30, 255));
    for (int i = 0; i < 37; ++i)
        icon.setPixel(i % 10, i / 10, qRgba(10, 200, 30, i * 6));
    const QString path = picture("icon.png", icon);
    const QString plain = picture("plain.png", icon.convertToFormat(QImage::Format_RGB32));
    action("mask8bit")->trigger();
    form.colourselection->setCurrentText("/c16");
    drop({path, plain});
    const QString first = pf.folder().inTempextract("icon_mask.bmp");
    const QByteArray firstBytes = readAll(first);
    action("mask1bit")->trigger();
    drop({path});
    EXPECT_EQ(rows(), QStringList({"/c16icon.png", "/8icon_mask.bmp", "/c16plain.png",
                                   "/c16icon.png", "/1icon_mask2.bmp"}));
    EXPECT_EQ(readAll(first), firstBytes) << "the first mask is left alone";
    EXPECT_EQ(QImage(pf.folder().inTempextract("icon_mask2.bmp")).depth(), 1);

    // Add mask to selected: only the entry without one gets it, right after it.
    form.list().append("/c24", folderWithSeparator(pics.path()), "icon.png");
    select({0, 2, 5});
    action("addmask")->trigger();
    EXPECT_EQ(rows().mid(5), QStringList({"/c24icon.png", "/1icon_mask3.bmp"}));
    EXPECT_TRUE(ui.messages.empty());

    form.list().append("/c12", folderWithSeparator(pics.path()), "icon.png");
    click(7);
    EXPECT_TRUE(
        form.preview().factsLabel()->toolTip().contains("transparency lost: 37 % of pixels"))
        << form.preview().factsLabel()->toolTip().toStdString();
    form.list().append("/c32a", folderWithSeparator(pics.path()), "icon.png");
    click(8);
    EXPECT_FALSE(form.preview().factsLabel()->toolTip().contains("transparency"))
        << "/c32a keeps it";
    click(2);
    EXPECT_FALSE(form.preview().factsLabel()->toolTip().contains("transparency")) << "opaque";
}

struct PairCase {
    const char* name;
    std::vector<int> selected;
    std::function<void(Form1&)> act;
    QStringList expected;
};

class Pairs : public MaskFixture, public ::testing::WithParamInterface<PairCase> {};

void key(Form1& f, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::AltModifier);
    QCoreApplication::sendEvent(f.DisplayList, &press);
}

// The demo icons' pairs, a single picture between them: every move and removal keeps each
// icon beside its mask.
TEST_P(Pairs, MovesAndRemovalsKeepThePairs) {
    const PairCase c = GetParam();
    ASSERT_TRUE(insertDemoSet(DemoSet::Qev, form.workFolders(), form.project()).ok);
    picture("single.png", gradedIcon(8, 8).convertToFormat(QImage::Format_RGB32));
    form.list().append("/c8", folderWithSeparator(pics.path()), "single.png");
    ASSERT_TRUE(insertDemoSet(DemoSet::MBMZembrel, form.workFolders(), form.project()).ok);
    select(c.selected);
    const QStringList before = rows();
    c.act(form);
    EXPECT_EQ(rows(), c.expected);
    // Each is one undo step.
    form.project().undoStack().undo();
    EXPECT_EQ(rows(), before);
    form.project().undoStack().redo();
    EXPECT_EQ(rows(), c.expected);
    QCoreApplication::processEvents();
    for (int r = 0; r < form.list().count(); ++r)
        EXPECT_EQ(form.DisplayList->isMarked(r), form.list().at(r).name.contains("Mask"))
            << "row " << r << " marked";
}

const QStringList kQevBig{"/c12IconBigQev.bmp", "/1IconBigQevMask.bmp"};
const QStringList kQevSmall{"/c12IconSmallQev.bmp", "/1IconSmallQevMask.bmp"};
const QStringList kOwnBig{"/c12IconBigMBMZembrel.bmp", "/1IconBigMBMZembrelMask.bmp"};
const QStringList kOwnSmall{"/c12IconSmallMBMZembrel.bmp", "/1IconSmallMBMZembrelMask.bmp"};
const QStringList kSingle{"/c8single.png"};

INSTANTIATE_TEST_SUITE_P(
    Masks, Pairs,
    ::testing::Values(
        PairCase{"AltUpTakesTheMaskPastAPair",
                 {2},
                 [](Form1& f) { key(f, Qt::Key_Up); },
                 kQevSmall + kQevBig + kSingle + kOwnBig + kOwnSmall},
        PairCase{"AltDownOnAMaskMovesItsPair",
                 {6},
                 [](Form1& f) { key(f, Qt::Key_Down); },
                 kQevBig + kQevSmall + kSingle + kOwnSmall + kOwnBig},
        PairCase{"AltDownOfTwoPairsPastASingle",
                 {0, 2},
                 [](Form1& f) { key(f, Qt::Key_Down); },
                 kSingle + kQevBig + kQevSmall + kOwnBig + kOwnSmall},
        PairCase{"DragBetweenIconAndMaskLandsAfterTheMask",
                 {4},
                 [](Form1& f) { emit f.DisplayList->moveRequested(f.list().selectedIndices(), 6); },
                 kQevBig + kQevSmall + kOwnBig + kSingle + kOwnSmall},
        PairCase{"DragOfAnIconTakesItsMask",
                 {7},
                 [](Form1& f) { emit f.DisplayList->moveRequested(f.list().selectedIndices(), 0); },
                 kOwnSmall + kQevBig + kQevSmall + kSingle + kOwnBig},
        PairCase{"RemoveOnIconsTakesTheirMasks",
                 {0, 4, 5},
                 [](Form1& f) { f.command3Click(); },
                 kQevSmall + kOwnSmall},
        PairCase{"RemoveOnAMaskLeavesItsIcon",
                 {3},
                 [](Form1& f) { f.command3Click(); },
                 kQevBig + kQevSmall.mid(0, 1) + kSingle + kOwnBig + kOwnSmall}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
