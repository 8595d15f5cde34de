// Benchmark: what a save spends after the converter has finished: the check of the built
// archive (the converter's report and the archive's own layout) and the copy over the target
// (every byte written and flushed to the disk), for archives of 1, 100 and 1000 bitmaps of
// 176 x 208 at /c16.
#include "jobs/atomic_write.h"
#include "jobs/text_file.h"
#include "mbm/built_archive.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

/// Builds `count` bitmaps into dir/bench.mbm with the real converter, its report in
/// dir/error.log. False when the converter failed.
bool buildArchive(const QTemporaryDir& dir, int count) {
    QImage img(176, 208, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 3) & 255, (y * 5) & 255, (x ^ y) & 255));
    QStringList command{QStringLiteral("bench.mbm")};
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("p%1.bmp").arg(i);
        if (i == 0 && !img.save(dir.filePath(name), "BMP")) return false;
        if (i > 0 && !QFile::copy(dir.filePath(QStringLiteral("p0.bmp")), dir.filePath(name)))
            return false;
        command << QStringLiteral("/c16") + name;
    }
    if (!writeLines(dir.filePath(QStringLiteral("cmd.txt")), command)) return false;
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.setStandardOutputFile(dir.filePath(QStringLiteral("error.log")));
    p.start(QStringLiteral(ZEMBREL_BIN_DIR "/bmconv.exe"), {QStringLiteral("cmd.txt")});
    return p.waitForFinished(600000) && p.exitCode() == 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("After the build: check of the archive, then the copy over the target\n");
    for (int count : {1, 100, 1000}) {
        QTemporaryDir dir, out;
        if (!buildArchive(dir, count)) {
            std::printf("%5d bitmaps: the converter failed\n", count);
            return 1;
        }
        const QString built = dir.filePath(QStringLiteral("bench.mbm"));
        const QString report = dir.filePath(QStringLiteral("error.log"));
        const QString target = out.filePath(QStringLiteral("target.mbm"));
        std::vector<double> check, copy;
        for (int r = 0; r < 5; ++r) {
            QElapsedTimer clock;
            clock.start();
            if (!checkBuiltArchive(built, report, count)) {
                std::printf("%5d bitmaps: the check refused a sound archive\n", count);
                return 1;
            }
            check.push_back(clock.nsecsElapsed() / 1e6);
            clock.restart();
            if (!replaceAtomically(built, target)) {
                std::printf("%5d bitmaps: the copy failed\n", count);
                return 1;
            }
            copy.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::printf("%5d bitmaps, %8.1f KB: check median %7.2f ms, copy median %7.2f ms "
                    "(5 runs)\n",
                    count, QFileInfo(built).size() / 1024.0, median(check), median(copy));
    }
    return 0;
}
