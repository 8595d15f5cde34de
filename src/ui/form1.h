// The main window: file browser, Project list, preview and the menus.
#pragma once
#include "jobs/common_dialog.h"
#include "jobs/interaction.h"
#include "jobs/work_folders.h"
#include "mbm/reading_run.h"
#include "project/project.h"
#include "ui/browser_widgets.h"
#include "ui/preview_pane.h"
#include "ui/project_list_view.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <memory>

class Form3;
class Form4;
class KeptProject;
struct CommandLine;

/// The main window `Form1`. It owns the project, the shared file dialog and the build
/// timer; the other windows are single instances it opens and closes. Controls carry the
/// names of the layout as objectName and are public so the feature code and tests can
/// reach them.
class Form1 : public QMainWindow {
    Q_OBJECT
  public:
    Form1(const ProgramFolder& programFolder, Interaction& interaction, QWidget* parent = nullptr);
    ~Form1() override;

    // --- undo, the modified marker and the kept project ---
    /// Keeps unsaved work in `folder` from now on (written after every change, removed when
    /// the project is clean) and first brings back what is kept there, as one undoable step,
    /// with a note in the window.
    void keepProjectIn(const QString& folder);
    /// The kept project, null until keepProjectIn.
    KeptProject* keptProject() const { return m_kept.get(); }
    /// The kept project is written on a thread of its own, so editing never waits for the
    /// disk; this waits until the last change is on disk.
    void waitForKeeping() { m_keeper.waitForDone(); }
    /// Edit > Undo and Edit > Redo.
    QAction* undoItem = nullptr;
    QAction* redoItem = nullptr;
    /// The one-line note that unsaved work was brought back (null until then).
    QLabel* restoredNote = nullptr;
    // --- end undo ---

    Project& project() { return m_project; }
    ProjectList& list() { return m_project.list(); }
    WorkFolders& workFolders() { return m_work; }
    const ProgramFolder& programFolder() const { return m_work.programFolder(); }
    CommonDialog& commonDialog() { return *CommonDialog1; }
    Interaction& interaction() { return m_interaction; }

    // Menu commands.
    void newProject();
    void save();
    void saveas();
    void open();
    void import();
    void exitProgram();
    void exportlist();
    void customlistexport();
    void importdemoicon();
    void about();
    /// Tools > Archive type: the kind of archive Save builds.
    void setArchiveType(ArchiveType type);
    /// Tools > Write C++ header (.mbg): whether Save also writes the header.
    void setWriteHeader(bool on);

    // Buttons.
    void command1Click(); ///< select all files
    void command2Click(); ///< add the selected files
    void command3Click(); ///< remove the selected entries
    void command4Click(); ///< select all entries
    void command5Click(); ///< save the selected entries as BMP files
    void command6Click(); ///< set the switch of the selected entries
    void command7Click(); ///< clear all

    /// The build tick of Timer1: runs the whole build job of a save.
    void timer1Tick();
    /// Shows the picture at `path` in the preview frame, stored with the switch beside Add
    /// files (does nothing while `selecting`).
    void showPreview(const QString& path);
    /// Shows `subject` in the preview frame (does nothing while `selecting`).
    void showPreview(const PreviewSubject& subject);
    /// The preview frame's behaviour: View menu settings, zoom and facts.
    PreviewPane& preview() { return *m_preview; }
    /// clean_up: starts the clean-up of tempextract, keeping the bitmaps the project or its
    /// undo steps still use (none once the window closes: the kept project has its copies).
    Status clean_up();
    /// True (after saying why, under "Error") when the work root cannot be written into a
    /// batch line safely: a command that would start a batch then does nothing else.
    bool batchWorkRefused();

    /// The path of the file at index i of File1, as a click previews it.
    QString filePath(int i) const;

    // --- keys, drops, the command line ---
    /// Opens the archive at `path` as a new project: Open after its dialog.
    void openArchive(const QString& path);
    /// Imports the archive at `path` into the project: Import after its dialog.
    void importArchive(const QString& path);
    /// Files dropped on the Project list, in order: pictures are added with the switch of
    /// `colourselection`, archives imported.
    void takeDroppedFiles(const std::vector<HandedFile>& files);
    /// The files of the command line: the first archive is opened, then the other files are
    /// taken in order (archives imported, pictures added with "/c8"). A command line with
    /// errors is reported under "Error" and nothing is taken.
    void startWith(const CommandLine& commandLine);
    /// F1: opens the user guide of the program folder as the About window does.
    void userGuide();
    /// F5: reads the folder list and the file list again (the folder, or the nearest one
    /// above it that still exists), keeping the selected files that are still there.
    void refreshBrowser();
    /// Replaces the way web pages are opened (platform::openUrl by default).
    void setUrlOpener(std::function<bool(const QString&)> open) { m_openUrl = std::move(open); }
    // --- end keys, drops, the command line ---

    /// The single instance of a secondary window (2 to 7), or null when it is not open.
    QWidget* form(int n) const { return m_forms[n].data(); }
    /// Remembers `w` as secondary window n; it is closed with the main window.
    void setForm(int n, QWidget* w) { m_forms[n] = w; }
    /// Brings an open secondary window n to the front; false when it is not open.
    bool raiseForm(int n);

    // Controls, named as in the layout.
    QGroupBox* Frame1;
    DriveList* Drive1;
    DirList* Dir1;
    FileList* File1;
    QComboBox* Combo1;
    QPushButton* Command1;
    QPushButton* Command2;
    QComboBox* colourselection;
    QGroupBox* Frame2;
    ProjectListView* DisplayList;
    QPushButton* Command7;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QComboBox* colourselection2;
    QGroupBox* Frame3;
    QLabel* Image1;
    QLineEdit* filename;
    QLineEdit* myfile;
    QLineEdit* mytitle;
    QLabel* Image2;
    QListView* dirs;
    QListView* names;
    QListView* colour;
    QTimer* Timer1;
    CommonDialog* CommonDialog1;
    /// Tools > Archive type, one checkable item per ArchiveType (in enum order), exclusive.
    QAction* archiveTypeItems[4];
    QAction* writeheader;

    // --- masks: Tools > Masks from transparency, Add mask to selected, Save selected as
    // PNG; View > Backdrop ---
    /// Add mask to selected: each selected entry with transparency gets its mask after it.
    void addMaskToSelected();
    /// Save selected as PNG: opens the folder window for PNG files.
    void savePngSelected();
    void setMasks(const MaskSettings& masks);
    void setBackdrop(Backdrop backdrop);
    /// Tools > Masks from transparency, one item per MaskKind (in enum order), exclusive.
    QAction* maskKindItems[3];
    QAction* maskwhite;
    /// View > Backdrop, one item per Backdrop (in enum order), exclusive.
    QAction* backdropItems[3];
    // --- end masks ---

  protected:
    void closeEvent(QCloseEvent* event) override;
    /// The window outside the Project list takes one dropped archive and opens it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildBrowser();
    void buildProjectFrame();
    void buildPreviewFrame();
    void buildMenus();
    void buildArchiveMenu(QMenu* tools);
    void buildViewMenu(QMenu* view);
    void buildMaskMenu(QMenu* tools);
    void buildBackdropMenu(QMenu* view);
    /// Pairs in the list: the view's moves, the marks of mask rows, the preview's settings.
    void setUpMasks();
    /// Appends pictures, each with its mask when a mask kind is chosen; failures and a full
    /// list are reported.
    void appendPictures(const std::vector<BitmapEntry>& pictures);
    /// Removes the selected entries and the masks of the selected icons.
    void removeSelectedWithMasks();
    /// What the preview shows for entry `row`: with its mask when it is an icon.
    PreviewSubject entrySubject(int row);
    void markMaskRows();
    bool m_marksPending = false;
    /// View > Compare with source and Tools > Dither reduced depths (form1_dither.cpp).
    void buildCompareItem(QMenu* view);
    void buildDitherItem(QMenu* tools);
    void buildEditMenu(QMenu* edit);
    /// After every step, undo and redo: the preview and the kept project follow.
    void afterStep();
    /// Writes the kept project, or removes it when there is nothing unsaved.
    void keepProject();
    /// Moves by Alt+Up/Down and by dragging rows, as undo steps.
    void moveByStep(int delta);
    void moveToRow(const std::vector<int>& rows, int destination);
    void setTabOrder();
    void drive1Change();
    void file1Click();
    void displayListClick(int row);
    void closeSecondaryWindows();
    /// Keys, shortcuts and drops beyond the menus and buttons.
    void setUpDesktopInput();
    /// Delete in the Project list: removes the selected entries and selects the entry that
    /// took the place of the first one.
    void removeByKey();
    /// Adds pictures by full path with `colour`; a full list is reported.
    void addPictures(const QStringList& paths, const QString& colour);
    /// Takes files in order: pictures added with `colour`, archives imported.
    void takeFiles(const std::vector<HandedFile>& files, const QString& colour);

    // --- saving (Save, Save As, the build tick, the command-file export) ---
    /// The save between the save command and the end of its build tick (null when none).
    struct PendingSave;
    std::shared_ptr<PendingSave> m_pendingSave;
    void startConversion(const std::shared_ptr<PendingSave>& job);
    void setSaveFields(const QString& file, const QString& title);
    // --- end saving ---
    // --- reading (Open, Import) ---
    /// Waits for a running clean-up, then reads the archive at `path` (bare name `title`)
    /// through the status window Form4; returns when the run has closed it.
    ReadingOutcome readArchive(const QString& path, const QString& title, Project& into);
    // --- end reading ---

    Project m_project;
    PreviewPane* m_preview = nullptr;
    WorkFolders m_work;
    Interaction& m_interaction;
    QPointer<QWidget> m_forms[8];
    bool m_closed = false;
    std::function<bool(const QString&)> m_openUrl;
    std::unique_ptr<KeptProject> m_kept;
    QThreadPool m_keeper; ///< one thread, writes in order; goes (waiting) before m_kept
};
