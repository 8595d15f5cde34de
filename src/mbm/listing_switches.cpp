#include "mbm/listing_switches.h"

namespace {

// Only the space character counts as a blank here: a tab beside the depth stays.
QString trimBlanks(const QString& s) {
    int from = 0;
    int to = int(s.size());
    while (from < to && s.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && s.at(to - 1) == QLatin1Char(' '))
        --to;
    return s.mid(from, to - from);
}

QString switchWith(const QString& line, const QString& phrase, const QString& prefix) {
    QString rest = line;
    rest.replace(phrase, QStringLiteral(" "), Qt::CaseSensitive);
    return prefix + trimBlanks(rest);
}

} // namespace

bool isColourLine(int n) {
    return n > 3 && (n - 3) % 6 == 0;
}

QString switchFromColourLine(const QString& line) {
    static const QString colour = QStringLiteral("Bpp Colour");
    static const QString mono = QStringLiteral("Bpp Monochrome");
    static const QString alpha = QStringLiteral(" with alpha channel");
    if (line.contains(colour, Qt::CaseSensitive)) {
        QString rest = trimBlanks(line);
        const bool withAlpha = rest.endsWith(alpha);
        if (withAlpha) rest.chop(alpha.size());
        const QString sw = switchWith(rest, colour, QStringLiteral("/c"));
        return withAlpha && sw == QLatin1String("/c32") ? QStringLiteral("/c32a") : sw;
    }
    if (line.contains(mono, Qt::CaseSensitive)) return switchWith(line, mono, QStringLiteral("/"));
    return QStringLiteral("/c8");
}

QStringList switchesFromListing(const QStringList& lines) {
    QStringList switches;
    for (int i = 0; i < lines.size(); ++i)
        if (isColourLine(i + 1)) switches << switchFromColourLine(lines.at(i));
    return switches;
}

ArchiveType archiveTypeFromListing(const QStringList& lines) {
    bool rom = false;
    bool compressed = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.contains(QStringLiteral(" is a ROM image "))) rom = true;
        // The compression line follows each Colour line.
        if (i > 0 && isColourLine(i) && line.contains(QStringLiteral("compression")) &&
            !line.startsWith(QStringLiteral("No compression")))
            compressed = true;
    }
    if (rom) return compressed ? ArchiveType::CompressedRomImage : ArchiveType::RomImage;
    return compressed ? ArchiveType::FileStore : ArchiveType::UncompressedFileStore;
}
