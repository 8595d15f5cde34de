// Where the work folders go: the program folder when files can be made there, the user's
// cache folder otherwise.
#include "jobs/work_root.h"
#include "support/test_support.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace testing_support;

namespace {

TEST(WorkRootTest, WritableIsTriedNotGuessed) {
    QTemporaryDir dir;
    EXPECT_TRUE(canCreateFileIn(dir.path()));
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty())
        << "the probe file is removed again";
    EXPECT_FALSE(canCreateFileIn(dir.filePath("missing")));
    EXPECT_FALSE(canCreateFileIn(QString()));
    writeAll(dir.filePath("file"), "x");
    EXPECT_FALSE(canCreateFileIn(dir.filePath("file")));
    // A folder nobody can write to, not even the superuser.
    if (QFileInfo(QStringLiteral("/proc/self")).isDir()) {
        EXPECT_FALSE(canCreateFileIn("/proc"));
    }
#ifdef Q_OS_UNIX
    // Permission bits bind everyone but the superuser.
    if (geteuid() != 0) {
        QDir(dir.path()).mkdir("ro");
        QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_FALSE(canCreateFileIn(dir.filePath("ro")));
        QFile::setPermissions(dir.filePath("ro"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
#endif
}

TEST(WorkRootTest, ProgramFolderUnlessItCannotBeWritten) {
    QStringList asked;
    const auto writable = [&](bool answer) {
        return [&asked, answer](const QString& f) {
            asked << f;
            return answer;
        };
    };
    EXPECT_EQ(chooseWorkRoot("/opt/z", "/home/u/.cache/mbmzembrel", writable(true)), "/opt/z");
    EXPECT_EQ(chooseWorkRoot("/opt/z", "/home/u/.cache/mbmzembrel", writable(false)),
              "/home/u/.cache/mbmzembrel");
    EXPECT_EQ(asked, QStringList({"/opt/z", "/opt/z"}));
    QTemporaryDir dir;
    EXPECT_EQ(chooseWorkRoot(dir.path(), "/elsewhere"), dir.path());
    EXPECT_EQ(chooseWorkRoot(dir.filePath("gone"), "/elsewhere"), "/elsewhere");
}

} // namespace
