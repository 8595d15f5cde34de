#include "jobs/batch_texts.h"

QStringList batchHead(const ProgramFolder& pf, const QString& workFolder, bool trailingSeparator) {
    QString folder = pf.workFolder(workFolder);
    if (trailingSeparator) folder += QDir::separator();
    return {pf.driveLine(), QStringLiteral("cd \"%1\"").arg(folder)};
}

QString markerLine(const QString& word) {
    return QStringLiteral("echo \"%1\" > end.log").arg(word);
}

QStringList buildBatch(const ProgramFolder& pf, const QStringList& convertedNames) {
    QStringList lines = batchHead(pf, QStringLiteral("temp"), true);
    lines << QStringLiteral("bmconv.exe mbmcreater.txt > error.log") << QStringLiteral("echo off");
    for (const QString& name : convertedNames)
        lines << QStringLiteral("del ") + name;
    lines << QStringLiteral("del mbmcreater.txt") << QStringLiteral("del bmconv.exe")
          << markerLine(QStringLiteral("Done"));
    return lines;
}

QStringList buildCleanupBatch(const ProgramFolder& pf, const QStringList& outputNames) {
    QStringList lines = batchHead(pf, QStringLiteral("temp"), false);
    lines << QStringLiteral("del end.log") << QStringLiteral("del mbmcreater.bat");
    for (const QString& name : outputNames)
        lines << QStringLiteral("del ") + name;
    lines << QStringLiteral("del cleanup.bat");
    return lines;
}

QStringList scanBatch(const ProgramFolder& pf, const QString& mbmName) {
    QStringList lines = batchHead(pf, QStringLiteral("tempextract"), false);
    lines << QStringLiteral("bmconv /v %1 > temp.log").arg(mbmName)
          << markerLine(QStringLiteral("done"));
    return lines;
}

QStringList extractBatch(const ProgramFolder& pf) {
    QStringList lines = batchHead(pf, QStringLiteral("tempextract"), false);
    lines << QStringLiteral("bmconv extract.txt");
    return lines;
}

QStringList readingCleanupBatch(const ProgramFolder& pf, const QString& mbmName) {
    QStringList lines = batchHead(pf, QStringLiteral("tempextract"), false);
    lines << QStringLiteral("del scan.bat") << QStringLiteral("del temp.log")
          << QStringLiteral("del end.log") << QStringLiteral("del extract.txt")
          << QStringLiteral("del extract.bat") << QStringLiteral("del bmconv.exe")
          << QStringLiteral("del ") + mbmName << QStringLiteral("del cleanup.bat");
    return lines;
}

QStringList generalCleanupBatch(const ProgramFolder& pf) {
    QStringList lines = batchHead(pf, QStringLiteral("tempextract"), false);
    lines << QStringLiteral("del *.bmp") << QStringLiteral("del *.txt")
          << QStringLiteral("del *.exe") << QStringLiteral("del *.log")
          << QStringLiteral("del cleanup.bat");
    return lines;
}
