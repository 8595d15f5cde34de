#include "project/list_commands.h"

#include <QDir>

static bool endsWithSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'));
}

QString folderWithSeparator(const QString& folder) {
    if (folder.isEmpty() || endsWithSeparator(folder)) return folder;
    // A folder written with backslashes only (a Windows path) keeps its own style.
    const bool windowsStyle =
        folder.contains(QLatin1Char('\\')) && !folder.contains(QLatin1Char('/'));
    return folder + (windowsStyle ? QLatin1Char('\\') : QDir::separator());
}

QString joinFolder(const QString& folder, const QString& name) {
    return folderWithSeparator(folder) + name;
}

std::vector<BitmapEntry> selectedFileEntries(const QString& folder,
                                             const QStringList& selectedNames,
                                             const QString& colour) {
    const QString dir = folderWithSeparator(folder);
    std::vector<BitmapEntry> entries;
    entries.reserve(size_t(selectedNames.size()));
    for (const QString& name : selectedNames)
        entries.push_back({colour, dir, name});
    return entries;
}

int addSelectedFiles(ProjectList& list, const QString& folder, const QStringList& selectedNames,
                     const QString& colour) {
    return list.appendAll(selectedFileEntries(folder, selectedNames, colour));
}

QString listFullMessage(int left) {
    return QStringLiteral("The project list is full (%1 entries): %2 more could not be added. "
                          "Remove entries or start a new project first.")
        .arg(ProjectList::kMaxEntries)
        .arg(left);
}

void selectAllGuarded(Project& project, int count, const std::function<void()>& selectAll,
                      const std::function<void(int)>& clicked) {
    if (count <= 0) return;
    project.selecting = 1;
    selectAll();
    // Selecting an item notifies its click handler as a user click would; the preview
    // ignores these while `selecting` is set.
    if (clicked)
        for (int i = 0; i < count; ++i)
            clicked(i);
    project.selecting = 0;
}
