// The main window's shared file dialog: it keeps its filter and last file name between uses.
#pragma once
#include "jobs/interaction.h"

#include <QObject>

/// The shared file dialog `CommonDialog1`. A cancelled dialog makes show*() return false
/// and leaves FileName and FileTitle as they were.
class CommonDialog : public QObject {
    Q_OBJECT
  public:
    static inline const QString kMbmFilter = QStringLiteral("Symbian Graphic Archive|*.mbm");

    CommonDialog(Interaction& ui, QObject* parent = nullptr);

    QString filter() const { return m_filter; }
    void setFilter(const QString& f) { m_filter = f; }
    /// The full path last chosen.
    QString fileName() const { return m_fileName; }
    /// The name without folder last chosen.
    QString fileTitle() const { return m_fileTitle; }

    /// Sets the file as a dialog would have reported it: FileName `path`, FileTitle its name
    /// without folder.
    void setFileName(const QString& path);

    /// Shows the save dialog; false when the user cancelled.
    bool showSave();
    /// Shows the open dialog; false when the user cancelled.
    bool showOpen();

  private:
    bool show(FileDialogRequest::Kind kind);
    Interaction& m_ui;
    QString m_filter = kMbmFilter;
    QString m_fileName;
    QString m_fileTitle;
};
