// What Save builds besides the bitmaps, through the main window: the archive type kept from
// Open, the C++ header, /c32 and /c32a with alpha, names the SDK converter reads alike.
#include "support/read_support.h"
#include "support/save_support.h"
#include "ui/form1.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;

namespace {

class ArchiveOptions : public ::testing::Test {
  protected:
    ArchiveOptions() { withShortPauses(form); }
    /// Runs Save As to `out`/`name` and waits until the build tick has ended.
    void saveAs(const QString& name) {
        ui.answer(out.filePath(name));
        form.saveas();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Timer1->isActive(); }, 60000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.form(4) == nullptr; }, 5000));
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text.toStdString();
    }
    void open(const QString& path) {
        ui.answer(path);
        form.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.form(4) == nullptr; }, 5000));
    }
    void add(const QString& name, const QImage& picture, const QString& colour) {
        ASSERT_TRUE(picture.save(pics.filePath(name)));
        form.list().append(colour, pics.path() + QLatin1Char('/'), name);
    }
    ArchiveType checkedType() const {
        for (int t = 0; t < 4; ++t)
            if (form.archiveTypeItems[t]->isChecked()) return ArchiveType(t);
        ADD_FAILURE() << "no type checked";
        return ArchiveType::FileStore;
    }
    /// The converter's listing of an archive.
    static QString listing(const QString& mbm) {
        QProcess p;
        p.start(binDir() + QStringLiteral("/bmconv.exe"), {QStringLiteral("/v"), mbm});
        p.waitForFinished(60000);
        return QString::fromLatin1(p.readAllStandardOutput());
    }

    TempProgramFolder pf;
    QTemporaryDir pics;
    QTemporaryDir out;
    ScriptedInteraction ui;
    Form1 form{pf.folder(), ui};
};

struct TypeCase {
    const char* label;
    const char* option;
    ArchiveType type;
    const char* listed; ///< in the listing's title line
    bool compressed;    ///< bitmaps compressed
};

class StoreTypeRoundTrip : public ArchiveOptions, public ::testing::WithParamInterface<TypeCase> {};

// Open takes the type from the archive; Save builds that type again.
TEST_P(StoreTypeRoundTrip, OpenAndSaveKeepTheType) {
    const TypeCase& c = GetParam();
    QTemporaryDir src;
    // Flat pictures, so compression pays where it is allowed.
    QImage flat(40, 30, QImage::Format_RGB32);
    flat.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(flat.save(src.filePath(QStringLiteral("f.bmp"))));
    QStringList args{QStringLiteral("in.mbm"), QStringLiteral("/c12f.bmp"),
                     QStringLiteral("/c24f.bmp")};
    if (*c.option) args.prepend(QString::fromUtf8(c.option));
    ASSERT_EQ(runBmconv(src.path(), args), 0);
    const QString archive = src.filePath(QStringLiteral("in.mbm"));
    form.setArchiveType(c.type == ArchiveType::FileStore ? ArchiveType::RomImage
                                                         : ArchiveType::FileStore);
    open(archive);
    EXPECT_EQ(form.project().archiveType(), c.type);
    EXPECT_EQ(checkedType(), c.type);
    saveAs(QStringLiteral("again"));
    const QString text = listing(out.filePath(QStringLiteral("again.mbm")));
    EXPECT_TRUE(text.contains(QString::fromUtf8(c.listed))) << text.toStdString();
    EXPECT_EQ(text.contains(QLatin1String("No compression")), !c.compressed) << text.toStdString();
    EXPECT_EQ(text.count(QLatin1String("RLE compression")), c.compressed ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Types, StoreTypeRoundTrip,
    ::testing::Values(TypeCase{"file_store", "", ArchiveType::FileStore, " is a File store ", true},
                      TypeCase{"uncompressed", "/n", ArchiveType::UncompressedFileStore,
                               " is a File store ", false},
                      TypeCase{"rom", "/r", ArchiveType::RomImage, " is a ROM image ", false},
                      TypeCase{"compressed_rom", "/s", ArchiveType::CompressedRomImage,
                               " is a ROM image ", true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ArchiveOptions, ImportKeepsTheTypeAndNewResetsIt) {
    QTemporaryDir src;
    const QString rom = makeArchive(src.path(), QStringLiteral("r.mbm"), {QStringLiteral("/c8")}, 8,
                                    6, QStringLiteral("/r"));
    EXPECT_EQ(checkedType(), ArchiveType::FileStore) << "at start";
    form.archiveTypeItems[int(ArchiveType::UncompressedFileStore)]->trigger();
    EXPECT_EQ(form.project().archiveType(), ArchiveType::UncompressedFileStore);
    ui.answer(rom);
    form.import();
    EXPECT_EQ(form.project().archiveType(), ArchiveType::UncompressedFileStore);
    form.newProject();
    EXPECT_EQ(checkedType(), ArchiveType::FileStore);
    EXPECT_EQ(form.project().archiveType(), ArchiveType::FileStore);
}

TEST_F(ArchiveOptions, HeaderBesideTheTargetNamesThePicturesThemselves) {
    EXPECT_FALSE(form.writeheader->isChecked()) << "off at start";
    add(QStringLiteral("2x.png"), makePicture(4, 4, 1), QStringLiteral("/c24"));
    add(QStringLiteral("a&b.jpg"), makePicture(5, 3, 2), QStringLiteral("/c12"));
    add(QStringLiteral("apple.png"), makePicture(3, 3, 3), QStringLiteral("/c8"));
    form.writeheader->trigger();
    EXPECT_TRUE(form.project().writesHeader());
    saveAs(QStringLiteral("My icons"));
    const QString header =
        QString::fromLatin1(readAll(out.filePath(QStringLiteral("My icons.mbg"))));
    EXPECT_TRUE(header.contains(QLatin1String("enum TMbmMy_icons\n\t{\n\tEMbmMy_icons2x,\n"
                                              "\tEMbmMy_iconsA_b,\n\tEMbmMy_iconsApple\n\t};")))
        << header.toStdString();
    EXPECT_EQ(save_support::filesIn(out.path()), QStringList({"My icons.mbg", "My icons.mbm"}));
    // Nothing of the header stays in temp.
    const QString bat = pf.folder().inTemp(QStringLiteral("cleanup.bat"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(bat); }, 20000));
    EXPECT_EQ(save_support::filesIn(pf.folder().temp()), QStringList({"error.log"}));

    // Off again, Save writes no header and leaves the old one alone.
    form.writeheader->trigger();
    saveAs(QStringLiteral("plain"));
    EXPECT_FALSE(QFile::exists(out.filePath(QStringLiteral("plain.mbg"))));
}

// A name starting with "a" right after /c32 would be read as /c32a + the rest of the name.
TEST_F(ArchiveOptions, ApplePngAtC32IsSavedAsThatPicture) {
    const QImage apple = makePicture(6, 5, 9);
    add(QStringLiteral("apple.png"), apple, QStringLiteral("/c32"));
    saveAs(QStringLiteral("fruit"));
    const std::vector<QImage> back = splitArchive(out.filePath(QStringLiteral("fruit.mbm")), 1);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(samePixels(back[0], asConverterKeepsIt(apple)));
    EXPECT_TRUE(listing(out.filePath(QStringLiteral("fruit.mbm")))
                    .contains(QLatin1String("\n32 Bpp Colour\n")));
}

/// A 32-bit picture whose alpha varies over the whole range.
QImage translucent() {
    QImage img(9, 7, QImage::Format_ARGB32);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            img.setPixel(x, y, qRgba(x * 28, y * 36, (x + y) * 15, (x * 29 + y * 41) & 255));
    return img;
}

/// Splits `mbm` into one bitmap and its alpha file in `dir`.
void splitWithAlpha(const QString& mbm, const QString& dir, QImage& pixels, QImage& alpha) {
    ASSERT_TRUE(QFile::copy(mbm, QDir(dir).filePath(QStringLiteral("x.mbm"))));
    ASSERT_EQ(runBmconv(dir, {"/u", "x.mbm", "o.bmp"}), 0);
    pixels = QImage(QDir(dir).filePath(QStringLiteral("o.bmp")));
    alpha = QImage(QDir(dir).filePath(QStringLiteral("o-alpha.bmp")));
}

// Save, Open and Save again: the same pixels and the same alpha each time.
TEST_F(ArchiveOptions, PngWithAlphaAtC32aSurvivesSaveOpenSave) {
    const QImage picture = translucent();
    add(QStringLiteral("glass.png"), picture, QStringLiteral("/c32a"));
    saveAs(QStringLiteral("first"));
    open(out.filePath(QStringLiteral("first.mbm")));
    ASSERT_EQ(form.list().count(), 1);
    EXPECT_EQ(form.list().at(0).colour, QStringLiteral("/c32a"));
    saveAs(QStringLiteral("second"));

    for (const char* name : {"first.mbm", "second.mbm"}) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        QImage pixels, alpha;
        splitWithAlpha(out.filePath(QString::fromLatin1(name)), dir.path(), pixels, alpha);
        ASSERT_TRUE(samePixels(pixels, asConverterKeepsIt(picture)));
        ASSERT_EQ(alpha.size(), picture.size());
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                ASSERT_EQ(alpha.pixelIndex(x, y), qAlpha(picture.pixel(x, y))) << x << "," << y;
    }
}

} // namespace
