// The classic file-browser controls: a drive list, a folder list and a file list.
#pragma once
#include <QComboBox>
#include <QListWidget>

/// Lists the drives (on Linux and macOS the roots of the mounted volumes, "/" first).
class DriveList : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveList(QWidget* parent = nullptr);
    QString drive() const { return currentText(); }
    /// Chooses the drive that holds `path` (the longest root it starts with).
    void setDriveOf(const QString& path);
    /// The root of the listed drives that holds `path`.
    QString driveOf(const QString& path) const;
};

/// Shows the path from the root down to the current folder, then its sub-folders; a
/// double-click opens a folder.
class DirList : public QListWidget {
    Q_OBJECT
  public:
    explicit DirList(QWidget* parent = nullptr);
    QString path() const { return m_path; }
    /// Moves to `folder`; false (and nothing changes) when it is not a readable folder.
    bool setPath(const QString& folder);

  signals:
    void pathChanged(const QString& path);

  private:
    void fill();
    void open(QListWidgetItem* item);
    QString m_path;
};

/// The drive list's change: moves `dir` to the root of the drive chosen in `drive` unless it
/// already lies on it; a drive that cannot be opened goes back to the drive of `fallback`.
void followDrive(DriveList* drive, DirList* dir, const QString& fallback);

/// Lists the files of a folder matching semicolon-separated patterns, case-insensitively,
/// with extended selection. Reports the keys that mean commands: Enter (add the selected
/// files) and Ctrl+A (select all), and moves of the current file made from the keyboard.
class FileList : public QListWidget {
    Q_OBJECT
  public:
    explicit FileList(QWidget* parent = nullptr);
    QString path() const { return m_path; }
    void setPath(const QString& folder);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    /// The names of the selected files, in list order.
    QStringList selectedNames() const;
    /// Selects the files called `names` that are listed and makes `current` the current
    /// file when listed; names no longer listed are passed over.
    void selectNames(const QStringList& names, const QString& current);
    void refresh();

  signals:
    /// The current file was changed from the keyboard (arrows, Home, End, Page keys, typing).
    void currentMovedByKey(int row);
    /// Enter or Return: add the selected files.
    void addRequested();
    /// Ctrl+A: select all files.
    void selectAllRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.bmp;*.jpg;*.gif");
};
