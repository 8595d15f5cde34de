#include "project/project_state.h"

#include <QFileInfo>

static bool sameEntry(const BitmapEntry& a, const BitmapEntry& b) {
    return a.colour == b.colour && a.dir == b.dir && a.name == b.name &&
           a.origin.archive == b.origin.archive && a.origin.type == b.origin.type &&
           a.origin.index == b.origin.index;
}

bool ProjectState::operator==(const ProjectState& other) const {
    return std::equal(entries.begin(), entries.end(), other.entries.begin(), other.entries.end(),
                      sameEntry) &&
           selected == other.selected && current == other.current && filename == other.filename &&
           settings == other.settings;
}

const std::vector<ProjectSetting>& projectSettings() {
    static const std::vector<ProjectSetting> settings = {
        {QStringLiteral("archiveType"), QStringLiteral("Archive type"),
         [](const Project& p) { return QVariant(int(p.archiveType())); },
         [](Project& p, const QVariant& v) {
             p.setArchiveType(ArchiveType(std::clamp(v.toInt(), 0, 3)));
         }},
        {QStringLiteral("writeHeader"), QStringLiteral("Write C++ header"),
         [](const Project& p) { return QVariant(p.writesHeader()); },
         [](Project& p, const QVariant& v) { p.setWritesHeader(v.toBool()); }},
        {QStringLiteral("maskKind"), QStringLiteral("Masks from transparency"),
         [](const Project& p) { return QVariant(int(p.masks().kind)); },
         [](Project& p, const QVariant& v) {
             MaskSettings m = p.masks();
             m.kind = MaskKind(std::clamp(v.toInt(), 0, int(MaskKind::EightBit)));
             p.setMasks(m);
         }},
        {QStringLiteral("masksWhiteWhereDrawn"), QStringLiteral("1-bit masks white where drawn"),
         [](const Project& p) { return QVariant(p.masks().whiteWhereDrawn); },
         [](Project& p, const QVariant& v) {
             MaskSettings m = p.masks();
             m.whiteWhereDrawn = v.toBool();
             p.setMasks(m);
         }},
        {QStringLiteral("dither"), QStringLiteral("Dither reduced depths"),
         [](const Project& p) { return QVariant(p.ditherReducedDepths()); },
         [](Project& p, const QVariant& v) { p.setDitherReducedDepths(v.toBool()); }},
    };
    return settings;
}

const ProjectSetting* findSetting(const QString& key) {
    for (const ProjectSetting& s : projectSettings())
        if (s.key == key) return &s;
    return nullptr;
}

ProjectState captureState(const Project& project) {
    ProjectState state;
    const ProjectList& list = project.list();
    state.entries = list.entries();
    state.selected = list.selectedIndices();
    const QModelIndex current = const_cast<ProjectList&>(list).selectionModel()->currentIndex();
    state.current = current.isValid() ? current.row() : -1;
    state.filename = project.filename();
    for (const ProjectSetting& s : projectSettings())
        state.settings.insert(s.key, s.get(project));
    return state;
}

void applyState(Project& project, const ProjectState& state) {
    ProjectList& list = project.list();
    // Both as one reset each: a whole list is never taken apart row by row.
    if (list.count() > 0) {
        std::vector<int> all(static_cast<size_t>(list.count()));
        for (int i = 0; i < list.count(); ++i)
            all[size_t(i)] = i;
        list.removeEntries(all);
    }
    if (!state.entries.empty()) {
        std::vector<int> rows(state.entries.size());
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = int(i);
        list.insertEntries(rows, state.entries);
    }
    list.setSelection(state.selected, state.current);
    if (project.filename() != state.filename) project.setFilename(state.filename);
    for (auto it = state.settings.cbegin(); it != state.settings.cend(); ++it)
        if (const ProjectSetting* s = findSetting(it.key())) s->set(project, it.value());
}

QString exportNameFor(const QString& filename) {
    const QFileInfo file(filename);
    const QString base =
        file.completeBaseName().isEmpty() ? QStringLiteral("Noname") : file.completeBaseName();
    const QString name = base + QStringLiteral(".txt");
    if (filename == kNoname || file.path() == QStringLiteral(".")) return name;
    return file.dir().filePath(name);
}
