#include "mbm/save_plan.h"

#include "jobs/batch_texts.h"
#include "jobs/file_exists.h"
#include "jobs/text_file.h"
#include "jobs/work_protocol.h"
#include "mbm/dither.h"
#include "mbm/picture_conversion.h"
#include "mbm/save_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

SaveTarget targetFromDialog(const QString& chosenPath, const QString& fileTitle) {
    SaveTarget t{chosenPath, fileTitle};
    if (!t.myfile.endsWith(QLatin1String(".mbm"), Qt::CaseSensitive))
        t.myfile += QLatin1String(".mbm");
    return t;
}

QString storeOptionFor(ArchiveType type) {
    switch (type) {
    case ArchiveType::FileStore:
        return {};
    case ArchiveType::UncompressedFileStore:
        return QStringLiteral("/n");
    case ArchiveType::RomImage:
        return QStringLiteral("/r");
    case ArchiveType::CompressedRomImage:
        return QStringLiteral("/s");
    }
    return {};
}

QString headerTargetFor(const QString& target) {
    QString base = target;
    if (base.endsWith(QLatin1String(".mbm"), Qt::CaseInsensitive)) base.chop(4);
    return base + QStringLiteral(".mbg");
}

namespace {

/// A file name without the extension after its last dot.
QString baseOf(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? name : name.left(dot);
}

/// A name as one line of the identifier names file.
QString asOneLine(QString name) {
    name.replace(QLatin1Char('\r'), QLatin1Char('_'));
    name.replace(QLatin1Char('\n'), QLatin1Char('_'));
    return name;
}

/// The name an entry's identifier is made from: the picture's own file name; for a bitmap
/// read from an archive, whose file name carries the time it was read, that archive's name
/// and the bitmap's index there ("icons_3"), the same however often the archive is read.
QString identifierSource(const BitmapEntry& e) {
    if (!e.origin.fromArchive()) return e.name;
    return baseOf(QFileInfo(e.origin.archive).fileName()) + QLatin1Char('_') +
           QString::number(e.origin.index) + QStringLiteral(".bmp");
}

/// Plans the header: its work name, its target and, where the work names would give other
/// identifiers than the target's and the pictures' own names, those names.
void planHeader(SavePlan& plan, const std::vector<BitmapEntry>& entries, QStringList taken) {
    plan.headerTarget = headerTargetFor(plan.target);
    const QFileInfo headerInfo(plan.headerTarget);
    // A header target in temp must not be the work header the clean-up deletes.
    if (sameFolder(headerInfo.absolutePath(), plan.folder.temp())) taken << headerInfo.fileName();
    taken << plan.outputName;
    plan.headerName = outputNameFor(headerInfo.fileName(), taken);

    const QString archiveName = QFileInfo(plan.target).fileName();
    bool same = baseOf(plan.outputName) == baseOf(archiveName);
    QStringList names{asOneLine(archiveName)};
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString source = identifierSource(entries[i]);
        same = same && baseOf(plan.workNames[int(i)]) == baseOf(source);
        names << asOneLine(source);
    }
    if (!same) plan.identifierNames = names;
}

QString firstCommandLine(const SavePlan& plan, ArchiveType type) {
    QStringList parts;
    if (const QString store = storeOptionFor(type); !store.isEmpty()) parts << store;
    if (!plan.headerName.isEmpty()) parts << QStringLiteral("/h") + plan.headerName;
    if (!plan.identifierNames.isEmpty()) parts << QStringLiteral("/i") + kIdentifierNamesFile;
    parts << plan.outputName;
    return parts.join(QLatin1Char(' '));
}

} // namespace

SavePlan makeSavePlan(const ProgramFolder& folder, const std::vector<BitmapEntry>& entries,
                      const QString& title, const QString& target, const SaveOptions& options) {
    SavePlan plan;
    plan.folder = folder;
    plan.target = target;
    // With dithering, the same picture at two reducing switches becomes two bitmaps.
    QStringList variants;
    if (options.dither)
        for (const BitmapEntry& e : entries)
            variants << (ditherModeOf(e.colour) ? e.colour : QString());
    plan.workNames = workBitmapNames(entries, variants);

    QStringList taken = plan.workNames;
    for (const QString& work : plan.workNames)
        taken << alphaFileName(work);
    const QFileInfo targetInfo(target);
    if (sameFolder(targetInfo.absolutePath(), folder.temp())) taken << targetInfo.fileName();
    plan.outputName = outputNameFor(title, taken);
    if (options.header) planHeader(plan, entries, taken);

    QHash<QString, int> planned; // work name -> index in pictures
    QStringList lines;
    for (size_t i = 0; i < entries.size(); ++i) {
        const BitmapEntry& e = entries[i];
        const QString& work = plan.workNames[int(i)];
        lines << e.colour + work;
        const bool alpha = e.colour == kAlphaSwitch;
        if (!planned.contains(work)) {
            planned.insert(work, int(plan.pictures.size()));
            plan.pictures.push_back({e.dir, e.name, work, alpha,
                                     options.dither ? ditherModeOf(e.colour) : std::nullopt});
        } else if (alpha) {
            plan.pictures[size_t(planned.value(work))].keepAlpha = true;
        }
    }
    for (const PictureJob& p : plan.pictures)
        if (p.keepAlpha) plan.alphaNames << alphaFileName(p.workName);
    plan.commandFile << firstCommandLine(plan, options.type) << lines;

    QStringList deleted = plan.workNames;
    deleted << plan.alphaNames;
    if (!plan.identifierNames.isEmpty()) deleted << kIdentifierNamesFile;
    plan.buildBatch = buildBatch(folder, deleted);
    return plan;
}

QStringList prepareSave(const WorkFolders& work, const SavePlan& plan) {
    QStringList problems;
    if (Status s = work.prepare(plan.folder.temp()); !s) problems << s.error;
    // A bitmap left by an interrupted build must never stand in for a picture that this
    // conversion fails to write.
    for (const PictureJob& p : plan.pictures)
        QFile::remove(plan.folder.inTemp(p.workName));
    for (const QString& alpha : plan.alphaNames)
        QFile::remove(plan.folder.inTemp(alpha));
    // Nor may an old header pass for the one this build writes.
    if (!plan.headerName.isEmpty()) QFile::remove(plan.headerPath());
    if (!plan.identifierNames.isEmpty()) {
        const QString names = plan.folder.inTemp(kIdentifierNamesFile);
        if (Status s = writeLines(names, plan.identifierNames); !s) problems << s.error;
    }
    const QString commandFile = plan.folder.inTemp(work_files::kBuildCommandFile);
    if (Status s = writeLines(commandFile, plan.commandFile); !s) problems << s.error;
    const QString batch = plan.folder.inTemp(work_files::kBuildBat);
    if (Status s = writeLines(batch, plan.buildBatch); !s) problems << s.error;
    return problems;
}
