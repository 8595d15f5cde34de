// The common behaviour of the side tools' secondary windows.
#pragma once
#include <QDialog>

class Form1;

/// A non-modal secondary window of the main window. It is unloaded (deleted) whenever it
/// closes: by its own buttons, by Escape, or from its title bar, which all act as Cancel
/// unless the window did its work first. The button set as default answers Enter.
class ToolWindow : public QDialog {
    Q_OBJECT
  public:
    explicit ToolWindow(Form1& main);
    Form1& mainWindow() const { return m_main; }

    /// Escape and the title bar's close box: close without doing anything.
    void reject() override;

  protected:
    Form1& m_main;
};
