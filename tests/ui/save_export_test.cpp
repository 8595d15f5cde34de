// The command-file export from the Tools menu.
#include "support/save_support.h"
#include "ui/form1.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;

namespace {

class ExportList : public ::testing::Test {
  protected:
    TempProgramFolder pf{false, false};
    QTemporaryDir out;
    ScriptedInteraction ui;
    Form1 form{pf.folder(), ui};
};

TEST_F(ExportList, OneJpegEntryGivesTwoLinesAndTheSuccessMessage) {
    form.list().append(QStringLiteral("/c8"), QStringLiteral("/pics/"),
                       QStringLiteral("photo.jpg"));
    const QString path = out.filePath(QStringLiteral("list"));
    ui.answer(path);
    form.exportlist();
    ASSERT_EQ(ui.requests.size(), 1u);
    EXPECT_EQ(ui.requests[0].kind, FileDialogRequest::Save);
    EXPECT_EQ(ui.requests[0].filter, QStringLiteral("Text file|*.txt"));
    EXPECT_EQ(readAll(path), QByteArray("tempfile.mbm\r\n/c8photo.jpg\r\n"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("File saved"));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Succes!"));
    EXPECT_EQ(form.commonDialog().filter(), QStringLiteral("Symbian Graphic Archive|*.mbm"));
}

TEST_F(ExportList, CancelWritesAndSaysNothingAndRestoresTheFilter) {
    form.list().append(QStringLiteral("/c8"), QStringLiteral("/pics/"), QStringLiteral("a.bmp"));
    ui.answer(std::nullopt);
    form.exportlist();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(filesIn(out.path()).isEmpty());
    EXPECT_EQ(form.commonDialog().filter(), QStringLiteral("Symbian Graphic Archive|*.mbm"));
}

TEST_F(ExportList, AFileThatCannotBeWrittenIsReported) {
    form.list().append(QStringLiteral("/c8"), QStringLiteral("/pics/"), QStringLiteral("a.bmp"));
    ui.answer(out.filePath(QStringLiteral("missing/folder/list.txt")));
    form.exportlist();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String("list.txt")));
    EXPECT_EQ(form.commonDialog().filter(), QStringLiteral("Symbian Graphic Archive|*.mbm"));
}

TEST_F(ExportList, AnEmptyListShowsNoDialog) {
    form.exportlist();
    EXPECT_TRUE(ui.requests.empty());
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
