// The demo icon window: inserts one of the two ready-made icon sets.
#pragma once
#include "jobs/result.h"
#include "mbm/demo_icons.h"
#include "ui/tool_window.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

/// The embedded bitmap file of a demo icon (its resource path, the resources loaded).
QString demoIconResource(const char* file);

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
