#include "mbm/demo_icons.h"

#include "jobs/atomic_write.h"
#include "jobs/work_folders.h"
#include "project/list_commands.h"
#include "project/project_commands.h"

#include <QDir>
#include <QFile>

namespace {

const DemoIcon kQev[kDemoIconsPerSet] = {{"IconBigQev.bmp", "/c12"},
                                         {"IconBigQevMask.bmp", "/1"},
                                         {"IconSmallQev.bmp", "/c12"},
                                         {"IconSmallQevMask.bmp", "/1"}};
const DemoIcon kOwn[kDemoIconsPerSet] = {{"IconBigMBMZembrel.bmp", "/c12"},
                                         {"IconBigMBMZembrelMask.bmp", "/1"},
                                         {"IconSmallMBMZembrel.bmp", "/c12"},
                                         {"IconSmallMBMZembrelMask.bmp", "/1"}};

Status copyResource(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return Status::failure(
            QStringLiteral("The demo icon %1 is missing from the program.").arg(from));
    return writeFileAtomically(to, in.readAll());
}

} // namespace

const DemoIcon* demoIcons(DemoSet set) {
    return set == DemoSet::Qev ? kQev : kOwn;
}

QString demoIconPath(const char* file) {
    return QStringLiteral(":/demoicons/") + QLatin1String(file);
}

Status insertDemoSet(DemoSet set, WorkFolders& work, Project& project) {
    const ProjectList& list = project.list();
    const ProgramFolder& pf = work.programFolder();
    if (list.count() > ProjectList::kMaxEntries - kDemoIconsPerSet)
        return Status::failure(listFullMessage(kDemoIconsPerSet));
    // A clean-up batch still running in tempextract would delete the files just written.
    work.waitForCleanUp();
    // On a fresh installation nothing has created the work folder yet.
    if (!QDir().mkpath(pf.tempextract()))
        return Status::failure(
            QStringLiteral("Could not create the work folder %1.").arg(pf.tempextract()));
    const DemoIcon* icons = demoIcons(set);
    // All four files are written before the first entry is added.
    for (int i = 0; i < kDemoIconsPerSet; ++i) {
        const QString target = pf.inTempextract(QLatin1String(icons[i].file));
        if (Status s = copyResource(demoIconPath(icons[i].file), target); !s) return s;
    }
    const QString dir = folderWithSeparator(pf.tempextract());
    std::vector<BitmapEntry> entries;
    for (int i = 0; i < kDemoIconsPerSet; ++i)
        entries.push_back({QLatin1String(icons[i].colour), dir, QLatin1String(icons[i].file)});
    pushAppend(project, entries, QStringLiteral("Import demo icons"));
    return Status::success();
}
