// Unsaved work kept on disk: the project's state in one text file, written atomically after
// every change, with copies of the work bitmaps its entries need.
#pragma once
#include "project/project_state.h"

#include <QSet>
#include <functional>
#include <optional>

/// The kept project in `folder`: project.txt and, under bitmaps/, copies of the pictures of
/// the work folder `workFolder` that its entries use. Entries outside the work folder are
/// the user's own files and are not copied.
class KeptProject {
  public:
    /// `filesOf` names the work files one entry's bitmap needs (itself first, then files that
    /// go with it such as an alpha file); by default the bitmap alone.
    using FilesOf = std::function<QStringList(const QString& name)>;
    KeptProject(QString folder, QString workFolder, FilesOf filesOf = {});
    QString folder() const { return m_folder; }
    QString file() const;

    /// Writes `state`: first the bitmap copies it lacks, then the file (replacing the old one
    /// in one step), then the copies nothing needs any more go. Returns why it failed, or "".
    QString write(const ProjectState& state);
    /// Removes the file and every copy.
    void remove();
    /// The kept state, with the work bitmaps copied back into the work folder where missing
    /// and the work entries pointing there; nothing when no readable kept project is there.
    /// Keys a reader does not know are ignored.
    std::optional<ProjectState> read() const;

    /// The text of `state` as the file holds it (`workFolder` marks the work entries).
    static QByteArray text(const ProjectState& state, const QString& workFolder);
    /// The state in `text`; nothing when it is not a kept project.
    static std::optional<ProjectState> parse(const QByteArray& text, const QString& workFolder);

  private:
    QString bitmaps() const;
    QString m_folder;
    QString m_workFolder; ///< ends with a separator
    FilesOf m_filesOf;
    QSet<QString> m_copies; ///< names under bitmaps/ (read once, then kept up to date)
    bool m_copiesKnown = false;
};
