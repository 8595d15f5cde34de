// The main window on a program folder that no batch line can carry safely.
#include "support/test_support.h"
#include "ui/form1.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Refused once at start-up, naming the folder; then every command that would start a batch
// says why instead, and nothing is written into the folder.
TEST(UnsafeProgramFolder, IsRefusedAtStartAndNoCommandStartsABatch) {
    QTemporaryDir root;
    const QString odd = root.filePath(QStringLiteral("victim\nx"));
    ASSERT_TRUE(QDir().mkpath(odd));
    ScriptedInteraction ui;
    Form1 form(ProgramFolder(odd), ui);
    withShortPauses(form);
    QCoreApplication::processEvents();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String("victim\\nx")))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));

    form.list().append(QStringLiteral("/c8"), QStringLiteral("/pics/"), QStringLiteral("a.bmp"));
    form.save();
    form.saveas();
    form.open();
    form.import();
    form.newProject();
    EXPECT_EQ(ui.messages.size(), 6u);
    for (const auto& m : ui.messages)
        EXPECT_TRUE(m.text.contains(QLatin1String("line break"))) << m.text.toStdString();
    EXPECT_TRUE(ui.requests.empty()) << "no file dialog";
    EXPECT_EQ(form.form(3), nullptr) << "no conversion";
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.list().count(), 0);
    EXPECT_TRUE(QDir(odd).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

} // namespace
