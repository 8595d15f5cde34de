// Save and Save As on the main window, end to end with the real converter.
#include "mbm/save_build.h"
#include "support/save_support.h"
#include "ui/form1.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;

namespace {

class Form1Save : public ::testing::Test {
  protected:
    explicit Form1Save(bool withBmconv = true) : pf(withBmconv, true) { withShortPauses(form); }

    /// Adds a picture `name` in `folder` (a sub-folder of the picture folder) to the list.
    void add(const QString& folder, const QString& name, int seed,
             const QString& colour = QStringLiteral("/c24")) {
        const QString dir = pics.filePath(folder);
        QDir().mkpath(dir);
        const QString path = dir + QLatin1Char('/') + name;
        const QImage img = makePicture(8 + seed % 5, 6 + seed % 3, seed * 17);
        if (name.endsWith(QLatin1String(".gif")))
            ASSERT_TRUE(writeGif(path, img));
        else
            ASSERT_TRUE(img.save(path, name.endsWith(QLatin1String(".bmp")) ? "BMP" : "JPEG"));
        form.list().append(colour, dir + QLatin1Char('/'), name);
        sources << path;
    }
    /// Runs Save (or Save As) and waits until the build tick has ended.
    void runSave(bool as = false) {
        as ? form.saveas() : form.save();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Timer1->isActive(); }, 60000));
    }
    /// The target decodes back to every source picture, in list order.
    void expectArchiveHoldsTheSources(const QString& target) {
        const std::vector<QImage> back = splitArchive(target, sources.size());
        ASSERT_EQ(int(back.size()), sources.size()) << "split failed";
        for (int i = 0; i < sources.size(); ++i)
            EXPECT_TRUE(samePixels(back[size_t(i)], asConverterKeepsIt(QImage(sources[i]))))
                << sources[i].toStdString();
    }
    void expectTempHoldsOnlyErrorLog() {
        const QString bat = pf.folder().inTemp(QStringLiteral("cleanup.bat"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(bat); }, 20000));
        EXPECT_EQ(filesIn(pf.folder().temp()), QStringList({"error.log"}));
    }

    TempProgramFolder pf;
    QTemporaryDir pics;
    QTemporaryDir out;
    ScriptedInteraction ui;
    Form1 form{pf.folder(), ui};
    QStringList sources;
};

TEST_F(Form1Save, AsksForATargetAppendsMbmAndBuildsThePictures) {
    add(QStringLiteral("p"), QStringLiteral("a.jpg"), 1);
    add(QStringLiteral("p"), QStringLiteral("b.gif"), 2);
    add(QStringLiteral("p"), QStringLiteral("c.bmp"), 3);
    ui.answer(out.filePath(QStringLiteral("icons")));
    runSave();
    const QString target = out.filePath(QStringLiteral("icons.mbm"));
    ASSERT_EQ(ui.requests.size(), 1u);
    EXPECT_EQ(ui.requests[0].kind, FileDialogRequest::Save);
    EXPECT_EQ(ui.requests[0].filter, QStringLiteral("Symbian Graphic Archive|*.mbm"));
    EXPECT_EQ(form.project().filename(), target);
    EXPECT_EQ(shownTitle(form), QStringLiteral("MBM Zembrel - ") + target);
    EXPECT_EQ(form.myfile->text(), target);
    EXPECT_EQ(form.mytitle->text(), QStringLiteral("icons"));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text.toStdString();
    EXPECT_EQ(form.form(3), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.form(4) == nullptr; }, 5000));
    expectArchiveHoldsTheSources(target);
    expectTempHoldsOnlyErrorLog();
}

TEST_F(Form1Save, SaveOfASavedProjectNeedsNoDialog) {
    add(QStringLiteral("p"), QStringLiteral("a.jpg"), 4);
    const QString target = out.filePath(QStringLiteral("opened.mbm"));
    writeAll(target, "older archive");
    form.project().setFilename(target);
    runSave();
    EXPECT_TRUE(ui.requests.empty());
    EXPECT_EQ(form.mytitle->text(), QStringLiteral("Text1")) << "no dialog since start";
    expectArchiveHoldsTheSources(target);
}

TEST_F(Form1Save, SaveAsCancelledKeepsNonameAndWritesNothing) {
    add(QStringLiteral("p"), QStringLiteral("a.jpg"), 5);
    form.project().setFilename(out.filePath(QStringLiteral("old.mbm")));
    ui.answer(std::nullopt);
    runSave(true);
    EXPECT_EQ(ui.requests.size(), 1u);
    EXPECT_EQ(form.project().filename(), QStringLiteral("Noname.mbm"));
    EXPECT_EQ(shownTitle(form), QStringLiteral("MBM Zembrel - Noname.mbm"));
    EXPECT_EQ(form.list().count(), 1);
    EXPECT_FALSE(QDir(pf.folder().temp()).exists());
    EXPECT_TRUE(filesIn(out.path()).isEmpty());
}

TEST_F(Form1Save, SaveAsAlwaysAsksAndOnAnEmptyListOnlyRenames) {
    form.project().setFilename(out.filePath(QStringLiteral("old.mbm")));
    form.saveas();
    EXPECT_TRUE(ui.requests.empty());
    EXPECT_EQ(form.project().filename(), QStringLiteral("Noname.mbm"));
    EXPECT_FALSE(form.Timer1->isActive());

    add(QStringLiteral("p"), QStringLiteral("a.jpg"), 6);
    form.project().setFilename(out.filePath(QStringLiteral("old.mbm")));
    ui.answer(out.filePath(QStringLiteral("new.MBM")));
    runSave(true);
    EXPECT_EQ(form.project().filename(), out.filePath(QStringLiteral("new.MBM.mbm")));
    EXPECT_EQ(form.mytitle->text(), QStringLiteral("new.MBM"));
    expectArchiveHoldsTheSources(out.filePath(QStringLiteral("new.MBM.mbm")));
}

TEST_F(Form1Save, CollidingAndUnusualNamesEachKeepTheirOwnPicture) {
    add(QStringLiteral("one"), QStringLiteral("pic.jpg"), 7);
    add(QStringLiteral("one"), QStringLiteral("pic.gif"), 8);
    add(QStringLiteral("two"), QStringLiteral("pic.jpg"), 9);
    add(QStringLiteral("my pics"), QStringLiteral("a & b%c.jpg"), 10);
    add(QStringLiteral("one"), QStringLiteral("7up.bmp"), 11);
    add(QStringLiteral("one"), QStringLiteral("photo.jpeg"), 12);
    ui.answer(out.filePath(QStringLiteral("my & archive")));
    runSave();
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text.toStdString();
    expectArchiveHoldsTheSources(out.filePath(QStringLiteral("my & archive.mbm")));
    expectTempHoldsOnlyErrorLog();
}

TEST_F(Form1Save, AnUnreadablePictureFailsTheSaveWithItsName) {
    add(QStringLiteral("p"), QStringLiteral("a.jpg"), 13);
    writeAll(pics.filePath(QStringLiteral("p/broken.gif")), "GIF89a but nothing else");
    form.list().append(QStringLiteral("/c8"), pics.filePath(QStringLiteral("p")) + '/',
                       QStringLiteral("broken.gif"));
    const QString target = out.filePath(QStringLiteral("keep.mbm"));
    writeAll(target, "older archive");
    form.project().setFilename(target);
    runSave();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String("broken.gif")));
    EXPECT_EQ(readAll(target), QByteArray("older archive"));
    EXPECT_EQ(form.form(3), nullptr) << "the conversion window closed";
}

class Form1SaveWithoutTool : public Form1Save {
  protected:
    Form1SaveWithoutTool() : Form1Save(false) {}
};

TEST_F(Form1SaveWithoutTool, ReportsTheMissingToolInsteadOfSuccess) {
    add(QStringLiteral("p"), QStringLiteral("a.jpg"), 14);
    const QString target = out.filePath(QStringLiteral("keep.mbm"));
    writeAll(target, "older archive");
    ui.answer(target);
    runSave();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String("not saved")));
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String("bmconv.exe")));
    EXPECT_EQ(readAll(target), QByteArray("older archive"));
}

TEST_F(Form1Save, AnEmptyListSavesNothing) {
    form.save();
    EXPECT_TRUE(ui.requests.empty());
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_FALSE(QDir(pf.folder().temp()).exists());
}

} // namespace
