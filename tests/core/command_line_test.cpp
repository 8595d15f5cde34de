// Files handed to the editor from outside (drops, the command line) and the command line
// itself: what is an archive, what a picture, and what the editor refuses and why.
#include "project/command_line.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

TEST(HandedFilesTest, KindsByName) {
    struct Case {
        const char* path;
        FileKind kind;
    };
    const Case cases[] = {
        {"/a/icons.mbm", FileKind::Archive},
        {"ICONS.MBM", FileKind::Archive},
        {"a.bmp", FileKind::Picture},
        {"a.JPG", FileKind::Picture},
        {"a.jpeg", FileKind::Picture},
        {"a.gif", FileKind::Picture},
        {"a.png", FileKind::Picture},
        {"a.txt", FileKind::Other},
        {"mbm", FileKind::Other},
        {"bmp", FileKind::Other},
        {"a.", FileKind::Other},
        {"x.mbm/notes.txt", FileKind::Other},
        {"a.mbm.bak", FileKind::Other},
        {"a.bmp.mbm", FileKind::Archive},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fileKindOf(QString::fromUtf8(c.path)), c.kind) << c.path;
}

TEST(HandedFilesTest, OnlyLocalFilesAreKeptInOrder) {
    QTemporaryDir dir;
    writeAll(dir.filePath("b.bmp"), "x");
    writeAll(dir.filePath("a.mbm"), "x");
    writeAll(dir.filePath("n.txt"), "x");
    const QList<QUrl> urls = {QUrl::fromLocalFile(dir.filePath("b.bmp")),
                              QUrl("https://example.org/c.bmp"),
                              QUrl::fromLocalFile(dir.path()),
                              QUrl::fromLocalFile(dir.filePath("missing.bmp")),
                              QUrl::fromLocalFile(dir.filePath("n.txt")),
                              QUrl(),
                              QUrl::fromLocalFile(dir.filePath("a.mbm"))};
    const std::vector<HandedFile> files = handedFiles(urls);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].path, QDir::toNativeSeparators(dir.filePath("b.bmp")));
    EXPECT_EQ(files[0].kind, FileKind::Picture);
    EXPECT_EQ(files[1].kind, FileKind::Other);
    EXPECT_EQ(files[2].path, QDir::toNativeSeparators(dir.filePath("a.mbm")));
    EXPECT_EQ(files[2].kind, FileKind::Archive);
}

struct CommandLineTest : ::testing::Test {
    QTemporaryDir dir;
    QString file(const char* name) {
        const QString p = dir.filePath(QString::fromUtf8(name));
        writeAll(p, "x");
        return p;
    }
};

TEST_F(CommandLineTest, BadArgumentsAreNamed) {
    const QString good = file("good.mbm");
    file("notes.txt");
    struct Case {
        QStringList args;
        QString mentions;
        QString says;
    };
    const Case cases[] = {
        {{dir.filePath("missing.mbm")}, "missing.mbm", "no such file"},
        {{good, dir.filePath("gone.bmp")}, "gone.bmp", "no such file"},
        {{dir.path()}, dir.path(), "is a folder"},
        {{dir.filePath("notes.txt")}, "notes.txt", "neither an archive"},
        {{"--frobnicate"}, "--frobnicate", "no such option"},
        {{"-x", good}, "-x", "no such option"},
        {{"-"}, "-", "no such file"},
    };
    for (const Case& c : cases) {
        const CommandLine cl = parseCommandLine(c.args);
        EXPECT_EQ(cl.action, CommandLine::Run);
        ASSERT_EQ(cl.errors.size(), 1) << c.mentions.toStdString();
        EXPECT_TRUE(cl.errors[0].contains(c.mentions) && cl.errors[0].contains(c.says))
            << cl.errors[0].toStdString();
        EXPECT_TRUE(commandLineErrorMessage(cl.errors).contains(cl.errors[0]));
    }
}

TEST_F(CommandLineTest, HelpAndVersionWin) {
    struct Case {
        QStringList args;
        CommandLine::Action action;
    };
    const Case cases[] = {
        {{"--help"}, CommandLine::Help},
        {{"-h"}, CommandLine::Help},
        {{"--version"}, CommandLine::Version},
        {{"nothing-here.mbm", "--version"}, CommandLine::Version},
        {{"--version", "--help"}, CommandLine::Help},
        {{"-platform", "offscreen", "--help"}, CommandLine::Help},
        {{"--", "--help"}, CommandLine::Run},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseCommandLine(c.args).action, c.action) << c.args.join(' ').toStdString();
    EXPECT_TRUE(commandLineHelp().startsWith("Usage: mbmzembrel"));
    EXPECT_TRUE(commandLineHelp().contains("/c8"));
    EXPECT_TRUE(commandLineVersion().startsWith("mbmzembrel 1."));
}

// After "--" a file may be called like an option; relative names become absolute.
TEST_F(CommandLineTest, RelativeNamesAndFilesNamedLikeOptions) {
    file("--help.bmp");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const CommandLine cl = parseCommandLine({"--", "--help.bmp"});
    const CommandLine plain = parseCommandLine({"--help.bmp"});
    QDir::setCurrent(before);
    EXPECT_EQ(cl.action, CommandLine::Run);
    ASSERT_EQ(cl.files.size(), 1u);
    EXPECT_EQ(cl.files[0].path, QDir::toNativeSeparators(dir.filePath("--help.bmp")));
    EXPECT_EQ(plain.errors.size(), 1) << "without -- it is an unknown option";
}

} // namespace
