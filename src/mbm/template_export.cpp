#include "mbm/template_export.h"

#include "jobs/text_file.h"

QString fillTemplate(const QString& perEntry, const BitmapEntry& entry) {
    // Fixed order, each pass on the output of the one before: a file name that happens to
    // contain "<$path$>" is filled in by the next pass, as existing templates rely on.
    QString out = perEntry;
    out.replace(kPlaceholderFilename, entry.name, Qt::CaseSensitive);
    out.replace(kPlaceholderPath, entry.dir, Qt::CaseSensitive);
    out.replace(kPlaceholderColour, entry.colour, Qt::CaseSensitive);
    return out;
}

/// Any line end (CR LF, lone LF, lone CR) made CR LF, as every text the system writes.
static QString withCrLf(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    out.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return out;
}

QStringList exportLines(const ExportTexts& texts, const std::vector<BitmapEntry>& entries) {
    const QString perEntry = withCrLf(texts.perEntry);
    QStringList lines;
    lines.reserve(int(entries.size()) + 2);
    lines << texts.begin;
    for (const BitmapEntry& e : entries)
        lines << fillTemplate(perEntry, e);
    lines << texts.end;
    return lines;
}

Status writeTemplateExport(const QString& path, const ExportTexts& texts,
                           const std::vector<BitmapEntry>& entries) {
    return writeLinesAtomically(path, exportLines(texts, entries));
}
