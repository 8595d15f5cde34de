#include "jobs/batch_texts.h"

#include "jobs/work_protocol.h"

using namespace work_files;

namespace {

/// What in `folder` a batch line cannot carry, in words; empty when nothing.
QString unsafeCharacter(const QString& folder) {
    for (const QChar c : folder) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) return QStringLiteral("a line break");
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return QStringLiteral("a control character");
        if (c == QLatin1Char('"')) return QStringLiteral("a double quote (\")");
        if (c == QLatin1Char('%')) return QStringLiteral("a percent sign (%)");
    }
    // The batch is written in the system's 8-bit code page: a character it lacks would turn
    // into another one, and the cd line would name another folder.
    if (QString::fromLocal8Bit(folder.toLocal8Bit()) != folder)
        return QStringLiteral("characters that the system's code page for batch files cannot "
                              "hold");
    return {};
}

/// The folder as a message can show it: control characters written as \n, \r, \xNN.
QString shown(const QString& folder) {
    QString out;
    for (const QChar c : folder) {
        if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return QDir::toNativeSeparators(out);
}

} // namespace

Status checkBatchFolder(const QString& folder) {
    const QString what = unsafeCharacter(folder);
    if (what.isEmpty()) return Status::success();
    return Status::failure(
        QStringLiteral("The program cannot work in the folder %1: its path holds %2, which "
                       "the program's batch files cannot carry safely. Saving, opening and "
                       "importing archives are switched off. Move the program to a folder "
                       "whose path has no line break, double quote or percent sign.")
            .arg(shown(folder), what));
}

QStringList batchHead(const ProgramFolder& pf, const QString& workFolder, bool trailingSeparator) {
    QStringList head;
    if (const QString drive = pf.driveLine(); !drive.isEmpty()) head << drive;
    return head << QStringLiteral("cd \"%1\"").arg(pf.batchFolder(workFolder, trailingSeparator));
}

QString markerLine(const QString& word) {
    return QStringLiteral("echo \"%1\" > %2").arg(word, kEndLog);
}

static QString del(const QString& name) {
    return QStringLiteral("del ") + name;
}

QStringList buildBatch(const ProgramFolder& pf, const QStringList& convertedNames) {
    QStringList lines = batchHead(pf, kTempFolder, true);
    lines << QStringLiteral("%1 %2 > %3").arg(kBmconv, kBuildCommandFile, kErrorLog)
          << QStringLiteral("echo off");
    for (const QString& name : convertedNames)
        lines << del(name);
    lines << del(kBuildCommandFile) << del(kBmconv) << markerLine(kBuildMarkerWord);
    return lines;
}

QStringList buildCleanupBatch(const ProgramFolder& pf, const QStringList& outputNames) {
    QStringList lines = batchHead(pf, kTempFolder, false);
    lines << del(kEndLog) << del(kBuildBat);
    for (const QString& name : outputNames)
        lines << del(name);
    lines << del(kCleanupBat);
    return lines;
}

QStringList scanBatch(const ProgramFolder& pf, const QString& mbmName) {
    QStringList lines = batchHead(pf, kTempextractFolder, false);
    lines << QStringLiteral("bmconv /v %1 > %2").arg(mbmName, kTempLog)
          << markerLine(kScanMarkerWord);
    return lines;
}

QStringList extractBatch(const ProgramFolder& pf) {
    QStringList lines = batchHead(pf, kTempextractFolder, false);
    lines << QStringLiteral("bmconv ") + kExtractCommandFile;
    return lines;
}

QStringList readingCleanupBatch(const ProgramFolder& pf, const QString& mbmName) {
    QStringList lines = batchHead(pf, kTempextractFolder, false);
    lines << del(kScanBat) << del(kTempLog) << del(kEndLog) << del(kExtractCommandFile)
          << del(kExtractBat) << del(kBmconv) << del(mbmName) << del(kCleanupBat);
    return lines;
}

QStringList generalCleanupBatch(const ProgramFolder& pf) {
    QStringList lines = batchHead(pf, kTempextractFolder, false);
    lines << QStringLiteral("del *.bmp") << QStringLiteral("del *.txt")
          << QStringLiteral("del *.exe") << QStringLiteral("del *.log") << del(kCleanupBat);
    return lines;
}
