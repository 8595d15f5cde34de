// The About window: one instance, its links and what a click starts.
#include "support/tools_support.h"
#include "ui/form5.h"

#include <QUrl>

using namespace testing_support;

struct AboutWindow : ToolsFixture {
    QStringList opened;
    Form5* open() {
        main->about();
        Form5* f = form<Form5>(5);
        if (f)
            f->setUrlOpener([this](const QString& url) {
                opened << url;
                return true;
            });
        return f;
    }
    void installGuide() {
        for (const QString& page : {kUserGuideFile, kMakerPageFile})
            ASSERT_TRUE(QFile::copy(binDir() + "/" + page, program.file(page)));
    }
    QString home() const { return makerPageUrl(program.folder()); }
};

TEST_F(AboutWindow, OpenedTwiceIsOneWindow) {
    Form5* f = open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(open(), f);
    EXPECT_EQ(main->findChildren<Form5*>().size(), 1);
    EXPECT_EQ(f->windowTitle().toStdString(), "About MBM Zembrel");
}

TEST_F(AboutWindow, LinksAreBlueAndUnderlined) {
    Form5* f = open();
    for (QLabel* link : {static_cast<QLabel*>(f->Label3), static_cast<QLabel*>(f->Label5)}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }
    EXPECT_FALSE(f->Label1->font().underline());
    EXPECT_FALSE(f->Label4->font().underline());
    EXPECT_EQ(f->Label5->text(), kMakerName);
}

TEST_F(AboutWindow, EachClickStartsOneRequest) {
    installGuide();
    Form5* f = open();
    QTest::mouseClick(f->Label5, Qt::LeftButton);
    QTest::mouseClick(f->Label5, Qt::LeftButton);
    QTest::mouseClick(f->Label3, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], home());
    EXPECT_EQ(opened[1], home());
    // Both addresses lead to files beside the program.
    for (const QString& url : opened) {
        EXPECT_TRUE(url.startsWith("file://"));
        EXPECT_TRUE(QFile::exists(QUrl(url).toLocalFile())) << url.toStdString();
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AboutWindow, MissingGuideOrBrowserIsReported) {
    Form5* f = open();
    QTest::mouseClick(f->Label3, Qt::LeftButton); // no guide in this program folder
    EXPECT_TRUE(opened.isEmpty());
    installGuide();
    f->setUrlOpener([](const QString&) { return false; });
    QTest::mouseClick(f->Label5, Qt::LeftButton);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[0].text.contains("userguide.html"));
    EXPECT_TRUE(ui.messages[1].text.contains(home()));
    for (const auto& m : ui.messages)
        EXPECT_EQ(m.title.toStdString(), "Error");
}

TEST(UserGuide, InstalledBesideTheProgram) {
    const QByteArray html = readAll(binDir() + "/userguide.html");
    EXPECT_TRUE(html.contains("<title>MBM Zembrel user guide</title>"));
    EXPECT_TRUE(readAll(binDir() + "/home.html").contains("<title>MBM Zembrel project</title>"));
}

TEST_F(AboutWindow, ClosedWithTheMainWindow) {
    QPointer<Form5> f = open();
    main.reset();
    EXPECT_TRUE(f.isNull());
}

// The address goes to the browser as one word, so a folder with a blank must be encoded.
TEST(PageAddress, FolderWithBlanksIsEncoded) {
    const ProgramFolder pf(QStringLiteral("/opt/My Tools/mbm"));
    const QString url = userGuideUrl(pf);
    EXPECT_FALSE(url.contains(QLatin1Char(' '))) << url.toStdString();
    EXPECT_EQ(QUrl(url).toLocalFile(), QStringLiteral("/opt/My Tools/mbm/userguide.html"));
}
