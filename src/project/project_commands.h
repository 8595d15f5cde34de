// The undo steps of a project: generic edits on explicit rows, a whole new state, and a
// setting. Every user command is one of them; a step keeps texts, never pictures.
#pragma once
#include "project/project_state.h"

#include <QSet>
#include <QUndoCommand>

/// One step on Project::undoStack().
class ProjectCommand : public QUndoCommand {
  public:
    ProjectCommand(Project& project, const QString& text) : m_project(project) { setText(text); }
    /// Adds the picture paths (folder + name) this step can bring back into the project.
    virtual void collectPictures(QSet<QString>& paths) const = 0;

  protected:
    Project& m_project;
};

/// "Add 3 entries", "Remove 1 entry": `verb` and a count of entries.
QString entriesText(const QString& verb, int n);

// Each push* makes one step, runs it and puts it on the project's undo stack; none pushes
// a step that would change nothing (and then returns false or 0).

/// Inserts `entries` so that entry k stands at rows[k] (ascending) afterwards.
bool pushInsert(Project& project, const std::vector<int>& rows,
                const std::vector<BitmapEntry>& entries, const QString& text);
/// Appends as many of `entries` as fit; returns how many.
int pushAppend(Project& project, const std::vector<BitmapEntry>& entries, const QString& text);
/// Removes the entries at `rows` (any order; rows out of range ignored).
bool pushRemove(Project& project, std::vector<int> rows, const QString& text);
/// Gives the entries at `rows` the switch `colour`.
bool pushSetSwitch(Project& project, std::vector<int> rows, const QString& colour);
/// Puts the entries in `order` (new index -> old index, a permutation of all rows).
bool pushReorder(Project& project, const std::vector<int>& order, const QString& text);
/// Replaces the whole project by `after` (New, Open, a restored project).
void pushReplace(Project& project, const ProjectState& after, const QString& text);
/// Sets the setting `key` to `value`.
bool pushSetting(Project& project, const QString& key, const QVariant& value);

/// Every picture path the project's entries and its undo steps refer to.
QSet<QString> picturesInUse(Project& project);
