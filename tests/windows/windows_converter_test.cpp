// The converter as built for Windows, under wine: the whole reference corpus, and the
// program itself run from a batch by wine's command interpreter.
#include "jobs/text_file.h"
#include "support/test_support.h"
#include "windows/wine_support.h"

#include <QMap>

using namespace testing_support;
using namespace wine_support;

namespace {

/// Runs the corpus program on the whole reference corpus: every case compiled, every
/// archive listed, or every archive with reference splits split, each result compared
/// byte for byte with the reference (listings with CR LF line ends, the version line apart).
void runCorpus(const char* what) {
    QTemporaryDir work;
    const WineRun run =
        runWine({windowsProgram(QStringLiteral("bmconv_corpus.exe")), QLatin1String(what),
                 winePath(testdata()), winePath(work.filePath("out"))},
                work.path());
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(" 0 differences")) << run.output.toStdString();
}

TEST(WindowsConverter, CompilesTheCorpus) {
    runCorpus("compile");
}
TEST(WindowsConverter, ListsTheCorpus) {
    runCorpus("list");
}
TEST(WindowsConverter, SplitsTheCorpus) {
    runCorpus("split");
}

// bmconv.exe itself, run by cmd as the batches run it: compiling from a command file with
// its console redirected, listing into a file, splitting; each result equals the
// reference. One multi-picture case as a compressed file store and as a compressed ROM
// image (the corpus program above covers every case).
TEST(WindowsConverter, ProgramThroughCmd) {
    const QString corpus = testdata() + QStringLiteral("/bmconv-reference");
    QTemporaryDir work;
    QFile::copy(windowsProgram(QStringLiteral("bmconv.exe")), work.filePath("bmconv.exe"));
    QStringList batch{"echo off"};
    QMap<QString, int> bitmaps; // case -> number of bitmaps
    for (const QString& line : readLines(corpus + "/cases.txt")) {
        const QStringList f = line.split('\t');
        if (f.size() != 4 || (f[0] != "multi00" && f[0] != "multi00s")) continue;
        const QString name = f[0];
        const QStringList switches = f[2].split(' '), pictures = f[3].split(' ');
        QStringList commands{(f[1].isEmpty() ? QString() : f[1] + " ") + name + ".mbm"};
        QString splits;
        for (int k = 0; k < switches.size(); ++k) {
            commands << switches[k] + pictures[k];
            QFile::copy(corpus + "/src/" + pictures[k], work.filePath(pictures[k]));
            splits += QStringLiteral(" %1.u%2.bmp").arg(name).arg(k);
        }
        ASSERT_TRUE(writeLines(work.filePath(name + ".txt"), commands).ok);
        batch << "bmconv.exe " + name + ".txt > " + name + ".log"
              << "bmconv /v " + name + ".mbm > " + name + ".v.txt"
              << "bmconv /u " + name + ".mbm" + splits;
        bitmaps[name] = int(switches.size());
    }
    ASSERT_EQ(bitmaps.size(), 2);
    ASSERT_TRUE(writeLines(work.filePath("cases.bat"), batch).ok);
    const WineRun run = runWine({"cmd", "/c", winePath(work.filePath("cases.bat"))}, work.path());
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    for (auto it = bitmaps.cbegin(); it != bitmaps.cend(); ++it) {
        const QString name = it.key();
        EXPECT_EQ(readAll(work.filePath(name + ".mbm")), readAll(corpus + "/ref/" + name + ".mbm"))
            << name.toStdString();
        // The console writes CR LF line ends; the lines are the reference's but the version.
        const QByteArray listing = readAll(work.filePath(name + ".v.txt"));
        EXPECT_EQ(listing.count("\r\n"), listing.count('\n')) << name.toStdString();
        QStringList got = readLines(work.filePath(name + ".v.txt"));
        QStringList expected = readLines(corpus + "/ref/" + name + ".v.txt");
        ASSERT_EQ(got.size(), expected.size()) << name.toStdString();
        got.removeAt(2);
        expected.removeAt(2);
        EXPECT_EQ(got, expected) << name.toStdString();
        for (int k = 0; k < it.value(); ++k) {
            const QString bmp = QStringLiteral("%1.u%2.bmp").arg(name).arg(k);
            EXPECT_EQ(readAll(work.filePath(bmp)), readAll(corpus + "/ref/" + bmp))
                << bmp.toStdString();
        }
    }
}

} // namespace
