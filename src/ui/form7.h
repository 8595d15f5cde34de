// The list export settings window: the templated export of the Project list.
#pragma once
#include "jobs/common_dialog.h"
#include "ui/tool_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

struct ExportTexts;

/// The explanation of the placeholders shown in Label2, for a system whose folders end with
/// `separator`.
QString placeholderHelp(QChar separator);

/// `Form7`. Shows the begin text, the per-entry template and the end text, each time with
/// the default texts. OK asks for a file and writes the Project list as it is at that
/// moment; Cancel, Escape and the title bar close the window without writing.
class Form7 : public ToolWindow {
    Q_OBJECT
  public:
    explicit Form7(Form1& main);

    /// OK: asks for the file (text files first, then batch files), writes the export and
    /// says "File saved" under "Succes!"; a file that cannot be written is reported under
    /// "Error". A cancelled dialog writes nothing and says nothing. Closes the window.
    void command1Click();
    /// The texts as they stand, the template's line ends made CR LF.
    ExportTexts texts() const;

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QPlainTextEdit* Text2;
    QLabel* Label3;
    QLineEdit* Text3;
    QPushButton* Command1;
    QPushButton* Command2;
    CommonDialog* CommonDialog1;
};
