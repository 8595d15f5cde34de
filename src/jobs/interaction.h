// Every modal interaction with the user goes through this interface, so the features can
// run headless under test with scripted answers.
#pragma once
#include <QString>
#include <optional>

struct FileDialogRequest {
    enum Kind { Open, Save };
    Kind kind = Open;
    /// Filter in the "Description|*.ext|Description|*.ext" form.
    QString filter;
    /// The name the dialog starts with (whatever the shared dialog last held).
    QString fileName;
    QString title;
};

class Interaction {
  public:
    virtual ~Interaction() = default;
    /// Shows a file dialog. Returns the chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> fileDialog(const FileDialogRequest& request) = 0;
    /// Shows a message box with one OK button and returns when it is closed.
    virtual void message(const QString& text, const QString& title) = 0;
};
