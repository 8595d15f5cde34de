// The status window of a running job, which also carries a reading run.
#pragma once
#include "jobs/status_sink.h"
#include "mbm/reading_run.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

class Form1;

/// `Form4`: a small borderless window with "Status:" and the job's status text. For a
/// reading run it also holds the hidden fields Text1 (archive path), Text2 (archive name)
/// and List1 (one colour switch per bitmap).
class Form4 : public QWidget, public StatusSink {
    Q_OBJECT
  public:
    explicit Form4(Form1& main, QWidget* parent = nullptr);

    /// Sets Label2 and repaints it at once.
    void setStatus(const QString& text) override;

    /// The reading run: lists and extracts the archive named by Text1/Text2, appends its
    /// bitmaps to the list of `into` (a fresh project: the one edited changes only when the
    /// run succeeded), and closes this window at its end. Returns what it did.
    ReadingOutcome extract(Project& into);

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QListWidget* List1;

  private:
    Form1& m_main;
};
