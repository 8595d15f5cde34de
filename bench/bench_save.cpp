// Benchmark: Save of 1, 100 and 1000 JPEG pictures of 176 x 208 at /c16, from the command
// to the complete target file, with the real converter and batch interpreter.
#include "jobs/interaction.h"
#include "ui/form1.h"
#include "ui/form3.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

/// Answers every save dialog with one path and counts the message boxes.
class FixedAnswers : public Interaction {
  public:
    explicit FixedAnswers(QString path) : m_path(std::move(path)) {}
    std::optional<QString> fileDialog(const FileDialogRequest&) override { return m_path; }
    void message(const QString& text, const QString& title) override {
        std::fprintf(stderr, "message \"%s\": %s\n", qPrintable(title), qPrintable(text));
        ++messages;
    }
    int messages = 0;

  private:
    QString m_path;
};

bool copyExecutable(const QString& name, const QString& folder) {
    const QString to = folder + QLatin1Char('/') + name;
    if (!QFile::copy(QStringLiteral(ZEMBREL_BIN_DIR "/") + name, to)) return false;
    return QFile::setPermissions(to, QFile::permissions(to) | QFile::ExeOwner);
}

QImage picture(int seed) {
    QImage img(176, 208, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(
                x, y,
                qRgb((x * 3 + seed) & 255, (y * 5 + seed * 7) & 255, ((x ^ y) + seed * 13) & 255));
    return img;
}

struct Timing {
    double total = -1;     ///< command to complete target
    double conversion = 0; ///< command to the end of the conversion
};

/// One timed save of `count` pictures; total is negative on failure.
Timing timeSave(int count) {
    Timing timing;
    QTemporaryDir program, pictures, out;
    if (!copyExecutable(QStringLiteral("bmconv.exe"), program.path()) ||
        !copyExecutable(QStringLiteral("batchrun"), program.path())) {
        std::fprintf(stderr, "bmconv.exe or batchrun missing in %s\n", ZEMBREL_BIN_DIR);
        return timing;
    }
    const QString target = out.filePath(QStringLiteral("bench.mbm"));
    FixedAnswers answers(target);
    Form1 form(ProgramFolder(program.path()), answers);
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("pic%1.jpg").arg(i);
        if (!picture(i).save(pictures.filePath(name), "JPEG")) return timing;
        form.list().append(QStringLiteral("/c16"), pictures.path() + QLatin1Char('/'), name);
    }
    QElapsedTimer clock;
    clock.start();
    form.save();
    if (auto* f = qobject_cast<Form3*>(form.form(3)))
        QObject::connect(f, &Form3::finished,
                         [&] { timing.conversion = clock.nsecsElapsed() / 1e9; });
    while (form.Timer1->isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (answers.messages == 0 && QFileInfo(target).size() > 20) timing.total = seconds;
    return timing;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("Save of N JPEG pictures 176 x 208 at /c16, command to complete target\n");
    for (int count : {1, 100, 1000}) {
        const int runs = count == 1000 ? 3 : 5;
        std::vector<Timing> times;
        for (int r = 0; r < runs; ++r) {
            const Timing t = timeSave(count);
            if (t.total < 0) {
                std::printf("%5d pictures: save failed\n", count);
                return 1;
            }
            times.push_back(t);
        }
        std::sort(times.begin(), times.end(),
                  [](const Timing& a, const Timing& b) { return a.total < b.total; });
        const Timing& median = times[times.size() / 2];
        std::printf("%5d pictures: median %.3f s (conversion %.3f s, build %.3f s), best %.3f s, "
                    "worst %.3f s (%d runs)\n",
                    count, median.total, median.conversion, median.total - median.conversion,
                    times.front().total, times.back().total, runs);
    }
    return 0;
}
