// Figures for undo and the kept project through the real main window (offscreen): undo of
// Clear all on 32,767 entries (target 50 ms), and keeping the project after one change of a
// 1,000-entry list (target 5 ms).
#include "jobs/interaction.h"
#include "project/kept_project.h"
#include "project/project_commands.h"
#include "ui/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

class NoDialogs : public Interaction {
  public:
    std::optional<QString> fileDialog(const FileDialogRequest&) override { return std::nullopt; }
    void message(const QString&, const QString&) override {}
};

/// The best of `runs` timings in milliseconds: the machine is shared.
double bestMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

void report(const char* what, double ms, double target) {
    std::printf("%-52s %8.2f ms  (target <= %.0f ms: %s)\n", what, ms, target,
                ms <= target ? "met" : "MISSED");
}

std::vector<BitmapEntry> entries(int n, const QString& dir) {
    std::vector<BitmapEntry> out;
    for (int i = 0; i < n; ++i)
        out.push_back({QStringLiteral("/c8"), dir,
                       QStringLiteral("pic%1.bmp").arg(i, 5, 10, QLatin1Char('0'))});
    return out;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    NoDialogs ui;
    {
        Form1 w(ProgramFolder(root.path()), ui);
        w.show();
        pushAppend(w.project(), entries(ProjectList::kMaxEntries, QStringLiteral("/pics/")), "Add");
        const double ms = bestMs(
            5,
            [&] {
                w.command7Click();
                app.processEvents();
            },
            [&] {
                w.project().undoStack().undo();
                app.processEvents();
            });
        report("Undo of Clear all on 32,767 entries", ms, 50);
        std::printf("  entries: %d\n", w.list().count());
    }
    {
        Form1 w(ProgramFolder(root.path()), ui);
        w.show();
        w.keepProjectIn(root.filePath(QStringLiteral("unsaved")));
        // A quarter of the entries are work bitmaps: their copies are made once, at the
        // first keep, not at every change.
        const QString work = w.programFolder().tempextract();
        QDir().mkpath(work);
        std::vector<BitmapEntry> list = entries(750, QStringLiteral("/pics/"));
        for (const BitmapEntry& e : entries(250, work + QLatin1Char('/'))) {
            QFile f(e.dir + e.name);
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray(1024, 'x'));
            list.push_back(e);
        }
        pushAppend(w.project(), list, "Add");
        int row = 0;
        const double ms = bestMs(
            20,
            [&] {
                w.list().setSelection({row / 2 % 1000}, -1);
                w.colourselection2->setCurrentText(row++ % 2 ? "/c8" : "/c24");
            },
            [&] { w.command6Click(); });
        report("One change of a 1,000-entry list (the window's part)", ms, 5);
        const double onDisk = bestMs(
            10,
            [&] {
                w.waitForKeeping();
                w.list().setSelection({row / 2 % 1000}, -1);
                w.colourselection2->setCurrentText(row++ % 2 ? "/c8" : "/c24");
            },
            [&] {
                w.command6Click();
                w.waitForKeeping();
            });
        report("One change of a 1,000-entry list, until on disk", onDisk, 5);
        KeptProject& kept = *w.keptProject();
        const ProjectState state = captureState(w.project());
        report("  writing the kept project (its own thread)",
               bestMs(
                   20, [] {}, [&] { kept.write(state); }),
               5);
        report("  of it: its text",
               bestMs(
                   20, [] {}, [&] { KeptProject::text(state, work); }),
               5);
        report("  of it: the state",
               bestMs(
                   20, [] {}, [&] { captureState(w.project()); }),
               5);
    }
    return 0;
}
