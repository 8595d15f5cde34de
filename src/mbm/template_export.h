// The templated list export: a begin text, one filled-in template per entry, an end text.
#pragma once
#include "jobs/result.h"
#include "project/project_list.h"

#include <QString>
#include <QStringList>
#include <vector>

/// The texts the export settings window starts with each time it opens.
inline const QString kExportBeginDefault = QStringLiteral("Text @ begining of file ");
inline const QString kExportTemplateDefault =
    QStringLiteral("copy <$path$><$filename$> to c:\\images\\\r\n"
                   "echo \"<$filename$> was copied\"\r\n");
inline const QString kExportEndDefault = QStringLiteral("Text @ ending of file");
/// The save dialog's filter: text files first, then batch files.
inline const QString kExportFilter = QStringLiteral("Text file|*.txt|Dos Batch files|*.bat");

/// The three placeholders, exact and case-sensitive.
inline const QString kPlaceholderFilename = QStringLiteral("<$filename$>");
inline const QString kPlaceholderPath = QStringLiteral("<$path$>");
inline const QString kPlaceholderColour = QStringLiteral("<$colour$>");

struct ExportTexts {
    QString begin;
    QString perEntry; ///< the template; its line ends are written as CR LF
    QString end;
};

/// The template filled in for one entry: every `<$filename$>` replaced by the file name,
/// then every `<$path$>` in that result by the folder, then every `<$colour$>` by the
/// switch. Other letter cases are left as they are.
QString fillTemplate(const QString& perEntry, const BitmapEntry& entry);

/// The text lines of the export, each to be followed by CR LF: the begin text, the filled
/// template for every entry in list order (with its own line ends made CR LF), the end text.
QStringList exportLines(const ExportTexts& texts, const std::vector<BitmapEntry>& entries);

/// Writes the export to `path`, replacing a file there only by the complete export. Fails
/// with a message naming the file when it cannot be written in full; the file there is then
/// as it was.
Status writeTemplateExport(const QString& path, const ExportTexts& texts,
                           const std::vector<BitmapEntry>& entries);
