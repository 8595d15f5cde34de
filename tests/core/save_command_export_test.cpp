// The command-file export.
#include "mbm/command_export.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TEST(CommandExport, OneJpegEntryGivesTwoLines) {
    ProjectList list;
    list.append(QStringLiteral("/c8"), QStringLiteral("/pics/"), QStringLiteral("photo.jpg"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list"));
    writeAll(path, "an older, longer file that is replaced completely");
    ASSERT_TRUE(writeCommandExport(path, list).ok);
    EXPECT_EQ(readAll(path), QByteArray("tempfile.mbm\r\n/c8photo.jpg\r\n"));
    EXPECT_TRUE(QFile::exists(path)) << "no extension is added";
}

TEST(CommandExport, KeepsListOrderAndEachEntrysOwnName) {
    ProjectList list;
    list.append(QStringLiteral("/c24"), QStringLiteral("/a/"), QStringLiteral("z.gif"));
    list.append(QStringLiteral("/1"), QStringLiteral("/b/"), QStringLiteral("a.bmp"));
    EXPECT_EQ(commandExportLines(list), QStringList({"tempfile.mbm", "/c24z.gif", "/1a.bmp"}));
}

TEST(CommandExport, AFileThatCannotBeWrittenFailsWithItsName) {
    ProjectList list;
    list.append(QStringLiteral("/c8"), QStringLiteral("/a/"), QStringLiteral("x.bmp"));
    QTemporaryDir dir;
    const Status s = writeCommandExport(dir.filePath(QStringLiteral("no/such/list.txt")), list);
    ASSERT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("list.txt"))) << s.error.toStdString();
}

} // namespace
