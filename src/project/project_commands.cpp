#include "project/project_commands.h"

#include <algorithm>

namespace {

void collectEntries(const std::vector<BitmapEntry>& entries, QSet<QString>& paths) {
    for (const BitmapEntry& e : entries)
        paths.insert(e.dir + e.name);
}

class InsertEntries : public ProjectCommand {
  public:
    InsertEntries(Project& p, std::vector<int> rows, std::vector<BitmapEntry> entries,
                  const QString& text)
        : ProjectCommand(p, text), m_rows(std::move(rows)), m_entries(std::move(entries)) {}
    void redo() override { m_project.list().insertEntries(m_rows, m_entries); }
    void undo() override { m_project.list().removeEntries(m_rows); }
    void collectPictures(QSet<QString>& paths) const override { collectEntries(m_entries, paths); }

  private:
    std::vector<int> m_rows;
    std::vector<BitmapEntry> m_entries;
};

class RemoveRows : public ProjectCommand {
  public:
    RemoveRows(Project& p, std::vector<int> rows, const QString& text)
        : ProjectCommand(p, text), m_rows(std::move(rows)) {
        const QModelIndex current = p.list().selectionModel()->currentIndex();
        m_current = current.isValid() ? current.row() : -1;
        m_selected = p.list().selectedIndices();
    }
    void redo() override { m_entries = m_project.list().removeEntries(m_rows); }
    void undo() override {
        ProjectList& list = m_project.list();
        list.insertEntries(m_rows, m_entries);
        list.setSelection(m_selected, m_current);
        m_entries.clear();
    }
    void collectPictures(QSet<QString>& paths) const override {
        // Removed, the entries live here; before that the list holds them.
        collectEntries(m_entries, paths);
    }

  private:
    std::vector<int> m_rows;
    std::vector<BitmapEntry> m_entries;
    std::vector<int> m_selected; ///< the selection before the removal
    int m_current = -1;
};

class SetSwitches : public ProjectCommand {
  public:
    SetSwitches(Project& p, std::vector<int> rows, const QString& colour, const QString& text)
        : ProjectCommand(p, text), m_rows(std::move(rows)) {
        for (int r : m_rows) {
            m_before << p.list().at(r).colour;
            m_after << colour;
        }
    }
    void redo() override { m_project.list().setSwitches(m_rows, m_after); }
    void undo() override { m_project.list().setSwitches(m_rows, m_before); }
    void collectPictures(QSet<QString>&) const override {}

  private:
    std::vector<int> m_rows;
    QStringList m_before, m_after;
};

class Reorder : public ProjectCommand {
  public:
    Reorder(Project& p, std::vector<int> order, const QString& text)
        : ProjectCommand(p, text), m_order(std::move(order)), m_inverse(m_order.size()) {
        for (size_t i = 0; i < m_order.size(); ++i)
            m_inverse[size_t(m_order[i])] = int(i);
    }
    void redo() override { m_project.list().reorder(m_order); }
    void undo() override { m_project.list().reorder(m_inverse); }
    void collectPictures(QSet<QString>&) const override {}

  private:
    std::vector<int> m_order, m_inverse;
};

class ReplaceProject : public ProjectCommand {
  public:
    ReplaceProject(Project& p, ProjectState after, const QString& text)
        : ProjectCommand(p, text), m_before(captureState(p)), m_after(std::move(after)) {}
    void redo() override { applyState(m_project, m_after); }
    void undo() override { applyState(m_project, m_before); }
    void collectPictures(QSet<QString>& paths) const override {
        collectEntries(m_before.entries, paths);
        collectEntries(m_after.entries, paths);
    }

  private:
    ProjectState m_before, m_after;
};

class SetSetting : public ProjectCommand {
  public:
    SetSetting(Project& p, const ProjectSetting& setting, QVariant after)
        : ProjectCommand(p, setting.caption), m_setting(setting), m_before(setting.get(p)),
          m_after(std::move(after)) {}
    void redo() override { m_setting.set(m_project, m_after); }
    void undo() override { m_setting.set(m_project, m_before); }
    void collectPictures(QSet<QString>&) const override {}

  private:
    const ProjectSetting& m_setting;
    QVariant m_before, m_after;
};

/// Sorted, distinct rows in range.
std::vector<int> validRows(std::vector<int> rows, int count) {
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [count](int r) { return r < 0 || r >= count; }),
        rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

QString entriesText(const QString& verb, int n) {
    return n == 1 ? QStringLiteral("%1 1 entry").arg(verb)
                  : QStringLiteral("%1 %2 entries").arg(verb).arg(n);
}

bool pushInsert(Project& project, const std::vector<int>& rows,
                const std::vector<BitmapEntry>& entries, const QString& text) {
    if (rows.empty() || rows.size() != entries.size()) return false;
    if (project.list().count() + int(rows.size()) > ProjectList::kMaxEntries) return false;
    project.undoStack().push(new InsertEntries(project, rows, entries, text));
    return true;
}

int pushAppend(Project& project, const std::vector<BitmapEntry>& entries, const QString& text) {
    const int at = project.list().count();
    const int n = std::min(int(entries.size()), ProjectList::kMaxEntries - at);
    if (n <= 0) return 0;
    std::vector<int> rows(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        rows[size_t(k)] = at + k;
    pushInsert(project, rows, {entries.begin(), entries.begin() + n}, text);
    return n;
}

bool pushRemove(Project& project, std::vector<int> rows, const QString& text) {
    rows = validRows(std::move(rows), project.list().count());
    if (rows.empty()) return false;
    project.undoStack().push(new RemoveRows(project, std::move(rows), text));
    return true;
}

bool pushSetSwitch(Project& project, std::vector<int> rows, const QString& colour) {
    rows = validRows(std::move(rows), project.list().count());
    // Rows that have the switch already are no part of the step.
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](int r) { return project.list().at(r).colour == colour; }),
               rows.end());
    if (rows.empty()) return false;
    const QString text = entriesText(QStringLiteral("Set switch of"), int(rows.size()));
    project.undoStack().push(new SetSwitches(project, std::move(rows), colour, text));
    return true;
}

bool pushReorder(Project& project, const std::vector<int>& order, const QString& text) {
    if (order.empty() || int(order.size()) != project.list().count()) return false;
    project.undoStack().push(new Reorder(project, order, text));
    return true;
}

void pushReplace(Project& project, const ProjectState& after, const QString& text) {
    project.undoStack().push(new ReplaceProject(project, after, text));
}

bool pushSetting(Project& project, const QString& key, const QVariant& value) {
    const ProjectSetting* setting = findSetting(key);
    if (!setting || setting->get(project) == value) return false;
    project.undoStack().push(new SetSetting(project, *setting, value));
    return true;
}

QSet<QString> picturesInUse(Project& project) {
    QSet<QString> paths;
    for (const BitmapEntry& e : project.list().entries())
        paths.insert(e.dir + e.name);
    const QUndoStack& stack = project.undoStack();
    for (int i = 0; i < stack.count(); ++i)
        if (const auto* step = dynamic_cast<const ProjectCommand*>(stack.command(i)))
            step->collectPictures(paths);
    return paths;
}
