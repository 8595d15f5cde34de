// MBM Zembrel: the editor's entry point.
#include "jobs/program_folder.h"
#include "ui/form1.h"
#include "ui/qt_interaction.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtInteraction interaction;
    Form1 window(ProgramFolder(QCoreApplication::applicationDirPath()), interaction);
    interaction.setParent(&window);
    window.show();
    return app.exec();
}
