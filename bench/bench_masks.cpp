// Icons with their masks: adding 100 PNG icons of 88 x 88 with 8-bit masks, from the command
// to the filled list, and the phone's view of a 176 x 208 icon with its mask, from the click
// to the painted preview. Prints the figures.
#include "jobs/interaction.h"
#include "project/handed_files.h"
#include "ui/form1.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

class NoDialogs : public Interaction {
  public:
    std::optional<QString> fileDialog(const FileDialogRequest&) override { return std::nullopt; }
    void message(const QString&, const QString&) override {}
};

/// A round icon with anti-aliased edges over full transparency.
QImage roundIcon(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_ARGB32);
    const double cx = w / 2.0, cy = h / 2.0, r = std::min(w, h) * 0.42;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const int a = int(std::clamp((r - d) * 255.0, 0.0, 255.0));
            img.setPixel(x, y, qRgba((x * 5 + seed) % 256, (y * 3) % 256, (seed * 29) % 256, a));
        }
    return img;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double elapsedMs(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir program, pics;
    NoDialogs dialogs;
    Form1 form(ProgramFolder(program.path()), dialogs);
    form.show();
    form.findChild<QAction*>(QStringLiteral("mask8bit"))->trigger();

    std::vector<HandedFile> files;
    for (int k = 0; k < 100; ++k) {
        const QString path = pics.filePath(QStringLiteral("icon%1.png").arg(k));
        if (!roundIcon(88, 88, k).save(path)) return 1;
        files.push_back({path, FileKind::Picture});
    }
    std::vector<double> adds;
    for (int round = 0; round < 5; ++round) {
        form.list().clear();
        QElapsedTimer t;
        t.start();
        form.takeDroppedFiles(files);
        // The list is filled once its mask rows are marked and it is painted.
        QCoreApplication::processEvents();
        form.DisplayList->repaint();
        adds.push_back(elapsedMs(t));
        if (form.list().count() != 200) return 1;
    }
    const double add = median(adds);

    for (int k = 0; k < 2; ++k) {
        const QString path = pics.filePath(QStringLiteral("big%1.png").arg(k));
        if (!roundIcon(176, 208, k).save(path)) return 1;
        files = {{path, FileKind::Picture}};
        form.takeDroppedFiles(files);
    }
    form.findChild<QAction*>(QStringLiteral("showasstored"))->setChecked(true);
    form.findChild<QAction*>(QStringLiteral("white"))->trigger();
    const int first = form.list().count() - 4;
    std::vector<double> views;
    for (int i = 0; i < 40; ++i) {
        QElapsedTimer t;
        t.start();
        emit form.DisplayList->clicked(form.list().index(first + 2 * (i % 2), 0));
        form.Frame3->repaint();
        views.push_back(elapsedMs(t));
        QCoreApplication::processEvents();
    }
    const double view = median(views);

    std::printf("add 100 PNG icons 88 x 88 with 8-bit masks: %.1f ms (target 500 ms)%s\n", add,
                add <= 500 ? "  (target met)" : "  (TARGET MISSED)");
    std::printf("phone's view of a 176 x 208 icon with its mask: %.1f ms median, %.1f ms worst "
                "(target 30 ms)%s\n",
                view, *std::max_element(views.begin(), views.end()),
                view <= 30 ? "  (target met)" : "  (TARGET MISSED)");
    return 0;
}
