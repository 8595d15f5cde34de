// The demo icon window: inserts one of the two ready-made icon sets.
#pragma once
#include "jobs/result.h"
#include "ui/tool_window.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

class ProgramFolder;
class Project;
class ProjectList;
class WorkFolders;

/// One bitmap of a demo set: its file name and the colour switch its entry takes.
struct DemoIcon {
    const char* file;
    const char* colour;
};

enum class DemoSet { Qev, MBMZembrel };

/// The four bitmaps of a set, in the order they are written and added: big icon, its
/// mask, small icon, its mask.
const DemoIcon* demoIcons(DemoSet set);
constexpr int kDemoIconsPerSet = 4;

/// The embedded bitmap file of a demo icon (a resource path).
QString demoIconResource(const char* file);

/// Writes the four bitmaps of `set` into tempextract (created when missing), byte for byte
/// as embedded, then appends their four entries to the project's list as one undo step. When a file
/// cannot be written nothing is added and the failure names the file.
Status insertDemoSet(DemoSet set, WorkFolders& work, Project& project);

/// `Form6`. Option1 (the Qev set, chosen when the window opens) or Option2 (the program's
/// own set); OK inserts the chosen set and closes; Cancel, Escape and the title bar close
/// without adding anything.
class Form6 : public ToolWindow {
    Q_OBJECT
  public:
    explicit Form6(Form1& main);

    /// OK: inserts the chosen set; a failure is reported under "Error". Closes the window.
    void command1Click();

    QRadioButton* Option1;
    QRadioButton* Option2;
    QLabel* Picture1;
    QLabel* Picture2;
    QLabel* Picture3;
    QLabel* Picture4;
    QLabel* Picture5;
    QLabel* Picture6;
    QLabel* Picture7;
    QLabel* Picture8;
    QPushButton* Command1;
    QPushButton* Command2;
};
