// An installed copy at work: its program folder read-only, the work folders in the user's
// cache folder, an archive opened, saved and opened again with the installed converter and
// batch interpreter. Run by install_test.sh on a copy it has installed into a DESTDIR.
#include "jobs/work_root.h"
#include "support/test_support.h"
#include "ui/form1.h"

#include <QDirIterator>
#include <QTest>

using namespace testing_support;

namespace {

/// Every file under `folder` with its size, so a write into it shows.
QStringList treeOf(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files << QStringLiteral("%1 %2").arg(info.filePath()).arg(info.size());
    }
    files.sort();
    return files;
}

TEST(InstalledCopyTest, SavesAndOpensWithTheWorkFoldersInTheCache) {
    const QString program = qEnvironmentVariable("ZEMBREL_INSTALLED_PROGRAM");
    if (program.isEmpty()) GTEST_SKIP() << "run by install_test.sh";
    const QStringList before = treeOf(program);
    ASSERT_FALSE(before.isEmpty());

    // The superuser may write anywhere; the script then says the folder counts as read-only.
    const bool assumeReadOnly = qEnvironmentVariableIsSet("ZEMBREL_ASSUME_READONLY");
    if (!assumeReadOnly) {
        EXPECT_FALSE(canCreateFileIn(program));
    }
    QCoreApplication::setApplicationName(QStringLiteral("mbmzembrel"));
    const QString cache = userCacheWorkRoot();
    const QString root = assumeReadOnly
                             ? chooseWorkRoot(program, cache, [](const QString&) { return false; })
                             : chooseWorkRoot(program, cache);
    ASSERT_EQ(root, QDir::toNativeSeparators(qEnvironmentVariable("XDG_CACHE_HOME") +
                                             QStringLiteral("/mbmzembrel")));

    ScriptedInteraction ui;
    const ProgramFolder folder(program, root);
    QTemporaryDir out;
    const QString target = out.filePath(QStringLiteral("again.mbm"));
    {
        Form1 w(folder, ui);
        withShortPauses(w);
        w.openArchive(testdata() + QStringLiteral("/real-mbm/tfbs.mbm"));
        ASSERT_EQ(w.list().count(), 2);
        EXPECT_TRUE(w.list().at(0).dir.startsWith(root));
        const QString colour0 = w.list().at(0).colour, colour1 = w.list().at(1).colour;

        ui.answer(target);
        w.saveas();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Timer1->isActive(); }, 60000));
        ASSERT_TRUE(QFile::exists(target))
            << (ui.messages.empty() ? std::string() : ui.messages.back().text.toStdString());
        EXPECT_EQ(w.project().filename(), target);

        w.openArchive(target);
        ASSERT_EQ(w.list().count(), 2);
        EXPECT_EQ(w.list().at(0).colour, colour0);
        EXPECT_EQ(w.list().at(1).colour, colour1);
        EXPECT_EQ(w.project().filename(), target);
        w.close();
        w.workFolders().waitForCleanUp();
    }
    for (const auto& m : ui.messages)
        ADD_FAILURE() << m.title.toStdString() << ": " << m.text.toStdString();
    EXPECT_TRUE(QDir(folder.temp()).exists());
    EXPECT_TRUE(QDir(folder.tempextract()).exists());
    EXPECT_EQ(treeOf(program), before) << "nothing was written into the program folder";
}

} // namespace
