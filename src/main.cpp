// MBM Zembrel: the editor's entry point.
#include "jobs/program_folder.h"
#include "jobs/work_root.h"
#include "project/command_line.h"
#include "ui/form1.h"
#include "ui/qt_interaction.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>

#include <cstdio>

// --help and --version are answered before the window system is touched, so they work
// without a display.
static int printAndEnd(const CommandLine& commandLine) {
    const QString text =
        commandLine.action == CommandLine::Help ? commandLineHelp() : commandLineVersion();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

int main(int argc, char** argv) {
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    if (const CommandLine early = parseCommandLine(raw); early.action != CommandLine::Run)
        return printAndEnd(early);

    QApplication::setApplicationName(QStringLiteral("mbmzembrel"));
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("mbmzembrel"));
    Q_INIT_RESOURCE(app_icon);
    QIcon icon;
    for (const char* size : {"16", "32", "48", "256"})
        icon.addFile(QStringLiteral(":/appicon/%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);
    // Qt's own options (-platform, -style, ...) are gone from the arguments by now.
    const CommandLine commandLine = parseCommandLine(QCoreApplication::arguments().mid(1));
    for (const QString& e : commandLine.errors)
        std::fprintf(stderr, "mbmzembrel: %s\n", e.toLocal8Bit().constData());

    // An installed copy cannot write beside itself: its work folders go to the user's cache.
    const QString programFolder = QCoreApplication::applicationDirPath();
    const ProgramFolder folder(programFolder, chooseWorkRoot(programFolder, userCacheWorkRoot()));

    QtInteraction interaction;
    Form1 window(folder, interaction);
    interaction.setParent(&window);
    window.show();
    // Unsaved work of the last session comes back before the command line is taken.
    window.keepProjectIn(QDir(userCacheWorkRoot()).filePath(QStringLiteral("unsaved")));
    // The files of the command line are taken once the window is on the screen.
    QTimer::singleShot(0, &window, [&window, &commandLine] { window.startWith(commandLine); });
    return app.exec();
}
