// The status window as a reading run uses it: hidden fields, status text, closing itself.
#include "support/read_support.h"
#include "ui/form1.h"
#include "ui/form4.h"

#include <QPointer>
#include <QTest>

using namespace testing_support;

namespace {

struct Form4Case {
    const char* label;
    const char* archive;
    QStringList switches;
    int messages;
};

class Form4ExtractTest : public ::testing::TestWithParam<Form4Case> {};

// extract() reads Text1/Text2, fills List1 with the scanned switches, leaves its last
// status text, closes itself and is gone once the event loop runs.
TEST_P(Form4ExtractTest, RunsAndClosesItself) {
    const Form4Case& c = GetParam();
    TempProgramFolder pf;
    ScriptedInteraction ui;
    Form1 w(pf.folder(), ui);
    withShortPauses(w);
    QPointer<Form4> f = new Form4(w);
    const QString archive = testdata() + "/real-mbm/" + QString::fromUtf8(c.archive);
    f->Text1->setText(archive);
    f->Text2->setText(QFileInfo(archive).fileName());
    f->show();
    f->extract(w.project());
    ASSERT_TRUE(f); // deleted only when the event loop runs
    QStringList listed;
    for (int i = 0; i < f->List1->count(); ++i)
        listed << f->List1->item(i)->text();
    EXPECT_EQ(listed, c.switches);
    EXPECT_FALSE(f->List1->isVisible());
    EXPECT_EQ(f->Label1->text(), QStringLiteral("Status:"));
    EXPECT_EQ(f->Label2->text(), QStringLiteral("Cleaning up"));
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(int(ui.messages.size()), c.messages);
    EXPECT_EQ(w.list().count(), c.messages ? 0 : int(c.switches.size()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.isNull(); }, 5000));
}

INSTANTIATE_TEST_SUITE_P(Archives, Form4ExtractTest,
                         ::testing::Values(Form4Case{"twoMono", "tfbs.mbm", {"/2", "/2"}, 0},
                                           Form4Case{"colour12", "rc_rom12.mbm", {"/c12"}, 0},
                                           Form4Case{
                                               "invalid", "corrupt/05_bitsperpixel.mbm", {}, 1}),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
