// The editor started with a command line: an archive is opened as Open would, pictures are
// added with the default switch, a bad argument is reported and nothing is taken.
#include "project/command_line.h"
#include "support/read_support.h"
#include "ui/form1.h"

#include <QTest>

using namespace testing_support;

namespace {

struct StartFixture : ::testing::Test {
    TempProgramFolder pf;
    ScriptedInteraction ui;
    std::unique_ptr<Form1> w = std::make_unique<Form1>(pf.folder(), ui);
    QTemporaryDir dir;

    StartFixture() { withShortPauses(*w); }
    static QString archive(const char* name = "tfbs.mbm") {
        return QDir::toNativeSeparators(testdata() + "/real-mbm/" + QString::fromUtf8(name));
    }
    QString picture(const char* name) {
        const QString p = dir.filePath(QString::fromUtf8(name));
        EXPECT_TRUE(makePicture(6, 4).save(p));
        return p;
    }
    void start(const QStringList& args) {
        w->startWith(parseCommandLine(args));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w->form(4); }, 5000));
    }
};

TEST_F(StartFixture, AnArchiveIsOpenedAsOpenWould) {
    start({archive()});
    ASSERT_EQ(w->list().count(), 2);
    EXPECT_EQ(w->list().at(0).dir, pf.folder().tempextract() + QDir::separator());
    EXPECT_EQ(w->project().filename(), archive());
    EXPECT_EQ(shownTitle(*w), "MBM Zembrel - " + archive());
    EXPECT_EQ(w->commonDialog().fileTitle(), "tfbs.mbm");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.requests.empty()) << "no dialog is shown";
}

TEST_F(StartFixture, PicturesAreAddedWithTheDefaultSwitch) {
    w->colourselection->setCurrentText("/c24");
    start({picture("b.png"), picture("a.bmp")});
    ASSERT_EQ(w->list().count(), 2);
    EXPECT_EQ(w->list().at(0).rowText(), "/c8b.png");
    EXPECT_EQ(w->list().at(1).rowText(), "/c8a.bmp");
    EXPECT_EQ(w->list().at(1).dir, QDir::toNativeSeparators(dir.path() + "/"));
    EXPECT_EQ(w->project().filename(), "Noname.mbm");
}

TEST_F(StartFixture, FirstArchiveOpenedThenTheRestInOrder) {
    const QString p = picture("p.bmp");
    start({p, archive(), archive("mono_c12.mbm")});
    ASSERT_EQ(w->list().count(), 4);
    EXPECT_EQ(w->list().at(2).rowText(), "/c8p.bmp");
    EXPECT_EQ(w->list().at(3).colour, "/c12");
    EXPECT_EQ(w->project().filename(), archive()) << "the import keeps the opened file name";
}

TEST_F(StartFixture, AMissingFileIsNamedAndTheEditorStartsEmpty) {
    const QString missing = dir.filePath("missing.mbm");
    start({picture("p.bmp"), missing, archive()});
    EXPECT_EQ(w->list().count(), 0);
    EXPECT_EQ(w->project().filename(), "Noname.mbm");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Error");
    EXPECT_TRUE(ui.messages[0].text.contains(missing) &&
                ui.messages[0].text.contains("no such file"))
        << ui.messages[0].text.toStdString();
    EXPECT_FALSE(QDir(pf.folder().tempextract()).exists()) << "nothing was read";
}

} // namespace
