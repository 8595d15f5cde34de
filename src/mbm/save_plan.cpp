#include "mbm/save_plan.h"

#include "jobs/batch_texts.h"
#include "jobs/file_exists.h"
#include "jobs/text_file.h"
#include "mbm/save_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

SaveTarget targetFromDialog(const QString& chosenPath, const QString& fileTitle) {
    SaveTarget t{chosenPath, fileTitle};
    if (!t.myfile.endsWith(QLatin1String(".mbm"), Qt::CaseSensitive))
        t.myfile += QLatin1String(".mbm");
    return t;
}

SavePlan makeSavePlan(const ProgramFolder& folder, const std::vector<BitmapEntry>& entries,
                      const QString& title, const QString& target) {
    SavePlan plan;
    plan.folder = folder;
    plan.target = target;
    plan.workNames = workBitmapNames(entries);

    QStringList taken = plan.workNames;
    const QFileInfo targetInfo(target);
    if (sameFolder(targetInfo.absolutePath(), folder.temp())) taken << targetInfo.fileName();
    plan.outputName = outputNameFor(title, taken);

    QSet<QString> planned;
    plan.commandFile << plan.outputName;
    for (size_t i = 0; i < entries.size(); ++i) {
        const BitmapEntry& e = entries[i];
        const QString& work = plan.workNames[int(i)];
        plan.commandFile << e.colour + work;
        if (!planned.contains(work)) {
            planned.insert(work);
            plan.pictures.push_back({e.dir, e.name, work});
        }
    }
    plan.buildBatch = buildBatch(folder, plan.workNames);
    return plan;
}

QStringList prepareSave(const WorkFolders& work, const SavePlan& plan) {
    QStringList problems;
    if (Status s = work.prepare(plan.folder.temp()); !s) problems << s.error;
    // A bitmap left by an interrupted build must never stand in for a picture that this
    // conversion fails to write.
    for (const PictureJob& p : plan.pictures)
        QFile::remove(plan.folder.inTemp(p.workName));
    const QString commandFile = plan.folder.inTemp(QStringLiteral("mbmcreater.txt"));
    if (Status s = writeLines(commandFile, plan.commandFile); !s) problems << s.error;
    const QString batch = plan.folder.inTemp(QStringLiteral("mbmcreater.bat"));
    if (Status s = writeLines(batch, plan.buildBatch); !s) problems << s.error;
    return problems;
}
