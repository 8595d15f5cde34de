// The list export settings window and the menu command that opens it.
#include "mbm/template_export.h"
#include "project/list_commands.h"
#include "support/tools_support.h"
#include "ui/form7.h"

#include <QTemporaryDir>

using namespace testing_support;

struct ExportWindow : ToolsFixture {
    QTemporaryDir out;
    Form7* open() {
        main->customlistexport();
        return form<Form7>(7);
    }
    void SetUp() override { main->list().append("/c8", "C:\\Pics\\", "a.bmp"); }
};

TEST_F(ExportWindow, OpensWithTheDefaultTexts) {
    Form7* f = open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isModal());
    EXPECT_EQ(f->Text1->text().toStdString(), "Text @ begining of file ");
    EXPECT_EQ(f->Text3->text().toStdString(), "Text @ ending of file");
    EXPECT_EQ(f->texts().perEntry.toStdString(),
              "copy <$path$><$filename$> to c:\\images\\\necho \"<$filename$> was copied\"\n");
    EXPECT_TRUE(f->Command1->isDefault());
    // Every control carries its name.
    for (const char* name : {"Label1", "Text1", "Label2", "Text2", "Label3", "Text3", "Command1",
                             "Command2", "CommonDialog1"})
        EXPECT_NE(f->findChild<QObject*>(name), nullptr) << name;
}

// Label2 promises the separator that <$path$> really ends with on this system.
TEST_F(ExportWindow, PathPlaceholderIsExplainedForThisSystem) {
    EXPECT_TRUE(placeholderHelp('\\').contains("closing backslash (\\), e.g. c:\\test\\\n"));
    EXPECT_TRUE(placeholderHelp('/').contains("closing slash (/), e.g. /home/user/test/\n"));
    Form7* f = open();
    EXPECT_EQ(f->Label2->text(), placeholderHelp(QDir::separator()));
    QTemporaryDir pics;
    addSelectedFiles(main->list(), pics.path(), {"a.bmp"}, "/c8");
    EXPECT_TRUE(main->list().at(main->list().count() - 1).dir.endsWith(QDir::separator()));
}

TEST_F(ExportWindow, OkWritesTheListAsItIsThenAndCloses) {
    Form7* f = open();
    // Changed while the window is open: OK uses the list of that moment.
    main->list().append("/c24", "C:\\", "b.gif");
    f->Text2->setPlainText("<$colour$>|<$path$><$filename$>");
    const QString path = out.filePath("list.txt");
    ui.answer(path);
    f->Command1->click();
    ASSERT_EQ(ui.requests.size(), 1u);
    EXPECT_EQ(ui.requests[0].kind, FileDialogRequest::Save);
    EXPECT_EQ(ui.requests[0].filter.toStdString(), "Text file|*.txt|Dos Batch files|*.bat");
    EXPECT_EQ(readAll(path), crlf({"Text @ begining of file ", "/c8|C:\\Pics\\a.bmp",
                                   "/c24|C:\\b.gif", "Text @ ending of file"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.toStdString(), "File saved");
    EXPECT_EQ(ui.messages[0].title.toStdString(), "Succes!");
    EXPECT_TRUE(waitGone(7));
}

TEST_F(ExportWindow, EmptiedListWritesBeginAndEndOnly) {
    Form7* f = open();
    main->command7Click();
    ui.answer(out.filePath("list.bat"));
    f->Command1->click();
    EXPECT_EQ(readAll(out.filePath("list.bat")),
              crlf({"Text @ begining of file ", "Text @ ending of file"}));
}

TEST_F(ExportWindow, CancelledDialogWritesNothingAndCloses) {
    Form7* f = open();
    ui.answer(std::nullopt);
    f->Command1->click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(QDir(out.path()).isEmpty());
    EXPECT_TRUE(waitGone(7));
}

TEST_F(ExportWindow, UnwritableFileIsReportedAsError) {
    Form7* f = open();
    ASSERT_TRUE(QDir(out.path()).mkdir("taken.txt"));
    ui.answer(out.filePath("taken.txt"));
    f->Command1->click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title.toStdString(), "Error");
    EXPECT_TRUE(ui.messages[0].text.contains("taken.txt"));
    EXPECT_TRUE(waitGone(7));
}

TEST_F(ExportWindow, CancelEscapeAndTitleBarCloseWithoutWriting) {
    const std::function<void(Form7*)> ways[] = {
        [](Form7* f) { f->Command2->click(); },
        [](Form7* f) { QTest::keyClick(f, Qt::Key_Escape); },
        [](Form7* f) { f->close(); },
    };
    for (const auto& closeIt : ways) {
        Form7* f = open();
        ASSERT_NE(f, nullptr);
        closeIt(f);
        EXPECT_TRUE(waitGone(7));
    }
    EXPECT_TRUE(ui.requests.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ExportWindow, SecondOpeningRaisesTheSameWindowWithItsEdits) {
    Form7* f = open();
    f->Text1->setText("edited");
    EXPECT_EQ(open(), f);
    EXPECT_EQ(f->Text1->text(), "edited");
    EXPECT_EQ(main->findChildren<Form7*>().size(), 1);
}

TEST_F(ExportWindow, ReopenedWindowShowsTheDefaultsAgain) {
    Form7* f = open();
    f->Text1->setText("edited");
    f->Command2->click();
    ASSERT_TRUE(waitGone(7));
    EXPECT_EQ(open()->Text1->text(), kExportBeginDefault);
}

TEST(ExportCommand, EmptyListOpensNothing) {
    TempProgramFolder program(false, false);
    ScriptedInteraction ui;
    Form1 main(program.folder(), ui);
    main.customlistexport();
    EXPECT_EQ(main.form(7), nullptr);
}
