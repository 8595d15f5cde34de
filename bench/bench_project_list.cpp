// Figures for the Project list commands through the real main window (offscreen):
// adding 10,000 selected files, then Select all, Set switch and Remove selected on
// 32,767 entries. Target: each under one second.
#include "jobs/interaction.h"
#include "ui/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

class NoDialogs : public Interaction {
  public:
    std::optional<QString> fileDialog(const FileDialogRequest&) override { return std::nullopt; }
    void message(const QString&, const QString&) override {}
};

double seconds(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e9;
}

void report(const char* what, double s) {
    std::printf("%-42s %8.3f s  %s\n", what, s,
                s < 1.0 ? "(target < 1 s: met)" : "(target < 1 s: MISSED)");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    for (int i = 0; i < 10000; ++i) {
        QFile f(dir.filePath(QStringLiteral("pic%1.bmp").arg(i, 5, 10, QLatin1Char('0'))));
        f.open(QIODevice::WriteOnly);
    }
    NoDialogs ui;
    Form1 w(ProgramFolder(QStringLiteral(ZEMBREL_BIN_DIR)), ui);
    w.show();
    w.Dir1->setPath(dir.path());
    w.command1Click();
    report("Add 10,000 selected files", seconds([&] { w.command2Click(); }));
    std::printf("  entries: %d\n", w.list().count());

    while (w.list().count() < ProjectList::kMaxEntries)
        w.command2Click();
    std::printf("  entries: %d\n", w.list().count());
    report("Select all on 32,767 entries", seconds([&] {
               w.command4Click();
               app.processEvents();
           }));
    w.colourselection2->setCurrentText(QStringLiteral("/c24"));
    report("Set switch on 32,767 entries", seconds([&] {
               w.command6Click();
               app.processEvents();
           }));
    report("Remove selected on 32,767 entries", seconds([&] {
               w.command3Click();
               app.processEvents();
           }));
    std::printf("  entries left: %d\n", w.list().count());
    return 0;
}
