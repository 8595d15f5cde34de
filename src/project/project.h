// The project: its list and the three file-name fields the features hand to each other.
#pragma once
#include "project/mask_kind.h"
#include "project/project_list.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

/// The text of `filename` that means "this project has no file yet".
inline const QString kNoname = QStringLiteral("Noname.mbm");

/// The project the main window edits. `filename` is the archive the project was last
/// saved to or opened from ("Noname.mbm" for none); `myfile` the target of the running
/// save; `mytitle` the bare name the last save dialog reported (the build's intermediate
/// output name). `selecting` is set while a select-all command runs, so the preview can
/// ignore the click cascade.
class Project : public QObject {
    Q_OBJECT
  public:
    explicit Project(QObject* parent = nullptr) : QObject(parent), m_list(this) {
        // A step keeps texts only, but a long session must not grow without end.
        m_undo.setUndoLimit(kUndoLimit);
    }
    static constexpr int kUndoLimit = 200;

    ProjectList& list() { return m_list; }
    const ProjectList& list() const { return m_list; }

    QString filename() const { return m_filename; }
    /// Sets `filename`; every change emits filenameChanged (the window title follows).
    void setFilename(const QString& f) {
        m_filename = f;
        emit filenameChanged(f);
    }
    QString myfile() const { return m_myfile; }
    void setMyfile(const QString& f) { m_myfile = f; }
    QString mytitle() const { return m_mytitle; }
    void setMytitle(const QString& t) { m_mytitle = t; }

    /// The kind of archive a save builds: File store for a new project, the type of the
    /// archive an Open read. Every change emits archiveTypeChanged.
    ArchiveType archiveType() const { return m_archiveType; }
    void setArchiveType(ArchiveType type) {
        if (type == m_archiveType) return;
        m_archiveType = type;
        emit archiveTypeChanged(type);
    }
    /// Whether a save also writes the C++ header of bitmap identifiers beside the archive.
    bool writesHeader() const { return m_writesHeader; }
    void setWritesHeader(bool on) {
        if (on == m_writesHeader) return;
        m_writesHeader = on;
        emit writesHeaderChanged(on);
    }

    /// The undo history: every change of the project is one step on it (project_commands.h).
    QUndoStack& undoStack() { return m_undo; }
    /// Whether a save (and Show as stored) dithers the pictures of the switches that reduce
    /// colours into the colours they store. Off for a new project; every change emits
    /// ditherReducedDepthsChanged.
    bool ditherReducedDepths() const { return m_ditherReducedDepths; }
    void setDitherReducedDepths(bool on) {
        if (on == m_ditherReducedDepths) return;
        m_ditherReducedDepths = on;
        emit ditherReducedDepthsChanged(on);
    }

    /// Tools > Masks from transparency: the mask an added picture with transparency gets,
    /// and the convention of 1-bit masks. Every change emits masksChanged.
    MaskSettings masks() const { return m_masks; }
    void setMasks(const MaskSettings& masks) {
        if (masks.kind == m_masks.kind && masks.whiteWhereDrawn == m_masks.whiteWhereDrawn) return;
        m_masks = masks;
        emit masksChanged(masks);
    }

    int selecting = 0;

  signals:
    void filenameChanged(const QString& filename);
    void archiveTypeChanged(ArchiveType type);
    void masksChanged(const MaskSettings& masks);
    void ditherReducedDepthsChanged(bool on);
    void writesHeaderChanged(bool on);

  private:
    ProjectList m_list;
    QString m_filename = kNoname;
    QString m_myfile = QStringLiteral("Text1");
    QString m_mytitle = QStringLiteral("Text1");
    ArchiveType m_archiveType = ArchiveType::FileStore;
    bool m_writesHeader = false;
    MaskSettings m_masks;
    bool m_ditherReducedDepths = false;
    QUndoStack m_undo;
};

/// The window title for a project file name.
inline QString windowTitleFor(const QString& filename) {
    return QStringLiteral("MBM Zembrel - ") + filename;
}
