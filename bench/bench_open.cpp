// Open of archives with 1, 100 and 1000 bitmaps of 176 x 208: from the command to the
// filled Project list, through the main window with scripted dialogs. Prints the figures.
#include "jobs/interaction.h"
#include "ui/form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <optional>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

class ScriptedOpen : public Interaction {
  public:
    QString path;
    QStringList messages;
    std::optional<QString> fileDialog(const FileDialogRequest&) override { return path; }
    void message(const QString& text, const QString& title) override {
        messages << title + QStringLiteral(": ") + text;
    }
};

bool copyTool(const QString& name, const QString& toDir) {
    const QString to = QDir(toDir).filePath(name);
    if (!QFile::copy(QStringLiteral(ZEMBREL_BIN_DIR "/") + name, to)) return false;
    return QFile::setPermissions(to, QFile::permissions(to) | QFile::ExeOwner);
}

// Compiles `count` generated 24-bit pictures into dir/name with the converter.
QString makeArchive(const QString& dir, int count) {
    const QString name = QStringLiteral("bench%1.mbm").arg(count);
    QStringList lines{name};
    for (int k = 0; k < count; ++k) {
        QImage img(176, 208, QImage::Format_RGB888);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb((x * 3 + k) & 255, (y * 5 + k * 7) & 255, (x ^ y) & 255));
        const QString pic = QStringLiteral("p%1.bmp").arg(k);
        if (!img.save(QDir(dir).filePath(pic), "BMP")) return {};
        lines << QStringLiteral("/c24") + pic;
    }
    QFile cmd(QDir(dir).filePath(QStringLiteral("make.txt")));
    if (!cmd.open(QIODevice::WriteOnly)) return {};
    cmd.write(lines.join(QStringLiteral("\r\n")).toLocal8Bit() + "\r\n");
    cmd.close();
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral(ZEMBREL_BIN_DIR "/bmconv.exe"), {QStringLiteral("make.txt")});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) return {};
    for (int k = 0; k < count; ++k)
        QFile::remove(QDir(dir).filePath(QStringLiteral("p%1.bmp").arg(k)));
    return QDir(dir).filePath(name);
}

// The batches inherit the standard streams and print the converter's and interpreter's
// chatter there; keep it off the figures by sending both streams to the null device and
// printing to a copy of stdout.
FILE* figuresOut() {
#ifndef _WIN32
    std::fflush(stdout);
    const int copy = ::dup(1);
    const int null = ::open("/dev/null", O_WRONLY);
    if (copy >= 0 && null >= 0 && ::dup2(null, 1) >= 0 && ::dup2(null, 2) >= 0) {
        ::close(null);
        if (FILE* out = ::fdopen(copy, "w")) return out;
    }
#endif
    return stdout;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FILE* out = figuresOut();
    QTemporaryDir program, sources;
    if (!copyTool(QStringLiteral("bmconv.exe"), program.path()) ||
        !copyTool(QStringLiteral("batchrun"), program.path())) {
        std::fprintf(stderr, "bmconv.exe or batchrun missing from %s\n", ZEMBREL_BIN_DIR);
        return 1;
    }
    const int repeats = 3;
    std::fprintf(out,
                 "Open from the command to the filled Project list, work folders in %s "
                 "(best and median of %d)\n",
                 qPrintable(QDir::tempPath()), repeats);
    for (const int count : {1, 100, 1000}) {
        const QString archive = makeArchive(sources.path(), count);
        if (archive.isEmpty()) {
            std::fprintf(stderr, "could not make the archive of %d bitmaps\n", count);
            return 1;
        }
        std::vector<qint64> ms;
        for (int r = 0; r < repeats; ++r) {
            ScriptedOpen ui;
            ui.path = archive;
            Form1 w(ProgramFolder(program.path()), ui);
            QElapsedTimer clock;
            clock.start();
            w.open();
            ms.push_back(clock.elapsed());
            if (w.list().count() != count || !ui.messages.isEmpty()) {
                std::fprintf(stderr, "open of %d bitmaps gave %d entries\n", count,
                             w.list().count());
                return 1;
            }
            app.processEvents();
        }
        std::sort(ms.begin(), ms.end());
        std::fprintf(out, "%5d bitmaps: best %5lld ms, median %5lld ms (archive %lld KB)\n", count,
                     ms.front(), ms[ms.size() / 2], QFileInfo(archive).size() / 1024);
        std::fflush(out);
    }
    return 0;
}
