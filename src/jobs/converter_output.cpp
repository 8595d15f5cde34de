#include "jobs/converter_output.h"

#include "jobs/text_file.h"

namespace {

const QString kRecordPrefix = QStringLiteral("batchrun: ");
const QString kBanner = QStringLiteral("BMCONV version");

} // namespace

ConverterOutput readConverterOutput(const QString& path) {
    ConverterOutput out;
    for (const QString& line : readLines(path)) {
        if (line.startsWith(kRecordPrefix)) {
            const QString record = line.mid(kRecordPrefix.size());
            const int colon = record.indexOf(QStringLiteral(": "));
            out.failureKind = colon < 0 ? QString() : record.left(colon);
            out.failure = colon < 0 ? record : record.mid(colon + 2);
            continue;
        }
        if (line.trimmed().startsWith(kBanner)) out.reported = true;
        out.lines << line;
    }
    return out;
}

bool ConverterOutput::brokeDown() const {
    return !reported || failureKind == QLatin1String("start") ||
           failureKind == QLatin1String("signal");
}

QString ConverterOutput::breakdown() const {
    if (!brokeDown()) return {};
    if (!failure.isEmpty()) return failure + QLatin1Char('.');
    return QStringLiteral("It wrote no report: it crashed, could not be started, or is not a "
                          "working bmconv.exe.");
}

QString ConverterOutput::message() const {
    static const QStringList header = {kBanner, QStringLiteral("Compiling..."),
                                       QStringLiteral("Multiple bitmap store type:"),
                                       QStringLiteral("Epoc file:"), QStringLiteral("Bitmap file")};
    QStringList message;
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        if (text.isEmpty()) continue;
        bool isHeader = false;
        for (const QString& h : header)
            isHeader = isHeader || text.startsWith(h);
        if (!isHeader) message << text;
    }
    return message.join(QLatin1Char('\n'));
}

QString converterMessage(const QString& errorLogPath) {
    return readConverterOutput(errorLogPath).message();
}
