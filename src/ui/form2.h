// The folder choice window: saves the selected entries as BMP files into a folder.
#pragma once
#include "mbm/png_export.h"
#include "ui/browser_widgets.h"
#include "ui/tool_window.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

/// `Form2`. When it opens it takes a snapshot of the selected entries (folders in List1,
/// file names in List2, in list order); Save hands them with the chosen folder to the
/// conversion window and closes. Pictures that could not be read or written are named
/// afterwards in one message titled "Error"; the others are written.
class Form2 : public ToolWindow {
    Q_OBJECT
  public:
    /// What Save writes: BMP files through the conversion window, or PNG files of the
    /// pixels as the archive stores them (an icon with its mask as one PNG with alpha).
    enum Kind { Bmp, Png };
    explicit Form2(Form1& main, Kind kind = Bmp);
    bool savesPng() const { return m_kind == Png; }

    /// Save: starts the conversion of the snapshot into the folder of Dir1 and closes.
    void command1Click();
    /// The folder the files go to, as the conversion window takes it: ending with a
    /// separator, a drive root unchanged.
    QString targetFolder() const;

    DriveList* Drive1;
    DirList* Dir1;
    QPushButton* Command1;
    QPushButton* Command2;
    QListWidget* List1;
    QListWidget* List2;
    QLineEdit* Text1;

  private:
    void drive1Change();
    void takeSnapshot();
    Kind m_kind;
    std::vector<PngJob> m_pngJobs; ///< the snapshot for PNG files
};

/// The text of the message naming the pictures that could not be saved as BMP files.
QString bmpFailureMessage(const QStringList& failures, const QString& kind = QStringLiteral("BMP"));
