// The whole state of a project as one value: what New and Open replace and undo gives back,
// and what the kept project holds.
#pragma once
#include "project/project.h"

#include <QVariantMap>
#include <functional>
#include <vector>

/// One project setting that changes what Save builds, reached by its key: the undo step of
/// a change and the kept project use nothing else. A new setting is one more row of
/// projectSettings().
struct ProjectSetting {
    QString key;     ///< the name in the kept project, never shown
    QString caption; ///< the undo step's name: "Undo <caption>"
    std::function<QVariant(const Project&)> get;
    std::function<void(Project&, const QVariant&)> set;
};

/// Every setting of a project, in the order the kept project writes them.
const std::vector<ProjectSetting>& projectSettings();
/// The setting with `key`, or null.
const ProjectSetting* findSetting(const QString& key);

/// A project's entries, selection, `filename` and settings.
struct ProjectState {
    std::vector<BitmapEntry> entries;
    std::vector<int> selected; ///< ascending rows
    int current = -1;          ///< the current row, -1 for none
    QString filename = kNoname;
    QVariantMap settings; ///< by ProjectSetting::key; a missing key leaves the setting alone

    bool operator==(const ProjectState& other) const;
};

/// The state of `project` now.
ProjectState captureState(const Project& project);
/// Makes `project` hold `state`: the list in one reset, then selection, `filename` and
/// every setting the state names.
void applyState(Project& project, const ProjectState& state);

/// The name the list exports offer first: the project's file with the extension .txt in
/// the archive's folder ("Noname.txt" for a project without file).
QString exportNameFor(const QString& filename);
