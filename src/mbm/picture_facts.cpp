#include "mbm/picture_facts.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

static unsigned byteAt(const QByteArray& b, int i) {
    return i < b.size() ? unsigned(uint8_t(b[i])) : 0u;
}

static unsigned le16(const QByteArray& b, int i) {
    return byteAt(b, i) | byteAt(b, i + 1) << 8;
}

/// Bits per pixel from the file's own header; 0 when the header does not say.
static int headerDepth(const QByteArray& format, const QByteArray& head) {
    if (format == "bmp" && head.startsWith("BM") && head.size() >= 30) {
        // A 12-byte core header keeps the bit count at 24, every later header at 28.
        const unsigned infoSize = le16(head, 14) | le16(head, 16) << 16;
        return int(le16(head, infoSize == 12 ? 24 : 28));
    }
    if (format == "gif" && head.startsWith("GIF") && head.size() > 10) {
        const unsigned packed = byteAt(head, 10);
        // The global colour table's size; without one the picture's own depth is used.
        if (packed & 0x80) return int((packed & 7) + 1);
        return 0;
    }
    if (format == "png" && head.startsWith("\x89PNG") && head.size() > 25) {
        const int bitDepth = int(byteAt(head, 24));
        switch (byteAt(head, 25)) {
        case 0: // grey
        case 3: // palette
            return bitDepth;
        case 2: // RGB
            return 3 * bitDepth;
        case 4: // grey and alpha
            return 2 * bitDepth;
        case 6: // RGBA
            return 4 * bitDepth;
        }
    }
    return 0;
}

static int pictureDepth(const QImage& picture) {
    switch (picture.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8: {
        int bits = 1;
        while ((1 << bits) < picture.colorCount() && bits < 8)
            ++bits;
        return bits;
    }
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8:
        return 8;
    case QImage::Format_Grayscale16:
        return 16;
    default:
        return picture.hasAlphaChannel() ? 32 : 24;
    }
}

QString sourceDescription(const QByteArray& format, const QByteArray& head, const QImage& picture) {
    const QByteArray lower = format.toLower();
    int depth = headerDepth(lower, head);
    if (depth <= 0) depth = pictureDepth(picture);
    const bool grey = picture.format() == QImage::Format_Grayscale8 ||
                      picture.format() == QImage::Format_Grayscale16;
    QString name = QString::fromLatin1(lower.toUpper());
    if (name.isEmpty()) name = QStringLiteral("Picture");
    return QStringLiteral("%1, %2-bit%3")
        .arg(name)
        .arg(depth)
        .arg(grey ? QStringLiteral(" grey") : QString());
}

static QString number(qint64 n) {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(n);
}

static QString sizeText(const PictureFacts& f) {
    return QStringLiteral("%1 %2 %3").arg(f.size.width()).arg(QChar(0x00D7)).arg(f.size.height());
}

static QString switchText(const PictureFacts& f, bool withMeaning = true) {
    const std::optional<bmconv::BitmapMode> mode = modeOfSwitch(f.colourSwitch);
    if (!mode) return QStringLiteral("%1: no such switch").arg(f.colourSwitch);
    if (!withMeaning) return f.colourSwitch;
    return QStringLiteral("%1: %2").arg(f.colourSwitch, modeMeaning(*mode));
}

/// "a file store", "an uncompressed file store", ...
static QString withArticle(ArchiveType type) {
    const QString name = archiveTypeName(type);
    return (name.startsWith(QLatin1Char('u')) ? QStringLiteral("an ") : QStringLiteral("a ")) +
           name;
}

enum class Form { Tooltip, Line, Short };

static QString storedText(const PictureFacts& f, Form form) {
    if (!f.storeProblem.isEmpty()) return f.storeProblem;
    const QString type = withArticle(f.archiveType);
    if (f.sizePending) return QStringLiteral("size in %1: working it out\u2026").arg(type);
    const QString bytes = number(f.stored.bitmapBytes);
    const QString how = compressionName(f.stored.compression);
    switch (form) {
    case Form::Tooltip:
        return QStringLiteral("%1 bytes in the archive, saved as %2, %3").arg(bytes, type, how);
    case Form::Line:
        return QStringLiteral("%1 bytes in %2, %3").arg(bytes, type, how);
    case Form::Short:
        return QStringLiteral("%1 bytes, %2").arg(bytes, how);
    }
    return {};
}

static QString originText(const PictureFacts& f, bool withType) {
    const QString name = f.origin.name(false);
    return withType ? QStringLiteral("%1, %2").arg(name, archiveTypeName(f.origin.type)) : name;
}

/// The line with the parts given in full (true) or short: source, switch, stored, origin.
/// A short source is left out.
static QString lineOf(const PictureFacts& f, bool source, bool meaning, bool stored, bool type) {
    QStringList parts{sizeText(f)};
    if (source) parts << f.source;
    parts << switchText(f, meaning);
    if (!f.transparency.isEmpty()) parts << f.transparency;
    parts << storedText(f, stored ? Form::Line : Form::Short);
    if (f.origin.fromArchive()) parts << originText(f, type);
    return parts.join(QStringLiteral(" \u00B7 "));
}

QString factsLine(const PictureFacts& f) {
    return lineOf(f, true, true, true, true);
}

QString factsLineWithin(const PictureFacts& f, const std::function<int(const QString&)>& widthOf,
                        int available) {
    // Shortened one part at a time, the least telling first; the tooltip keeps them all.
    const QString forms[] = {
        lineOf(f, true, true, true, true),     lineOf(f, true, true, true, false),
        lineOf(f, true, true, false, false),   lineOf(f, true, false, false, false),
        lineOf(f, false, false, false, false),
    };
    for (const QString& line : forms)
        if (widthOf(line) <= available) return line;
    return forms[std::size(forms) - 1];
}

QString factsTooltip(const PictureFacts& f) {
    QStringList lines{sizeText(f) + QStringLiteral(" pixels"), f.source, switchText(f)};
    if (!f.transparency.isEmpty()) lines << f.transparency;
    lines << storedText(f, Form::Tooltip);
    if (f.origin.fromArchive())
        lines << QStringLiteral("From %1, %2")
                     .arg(f.origin.name(true), archiveTypeName(f.origin.type));
    return lines.join(QLatin1Char('\n'));
}

QString transparencyText(const QImage& picture, const QString& colourSwitch,
                         const QString& maskSwitch) {
    if (maskSwitch == QLatin1String("/1")) return QStringLiteral("with mask (1-bit)");
    if (!maskSwitch.isEmpty()) return QStringLiteral("with mask (8-bit soft)");
    if (!picture.hasAlphaChannel() || modeOfSwitch(colourSwitch) == bmconv::BitmapMode::C32A)
        return {};
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    qint64 clear = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            clear += qAlpha(line[x]) != 255;
    }
    if (clear == 0) return {};
    const qint64 all = qint64(argb.width()) * argb.height();
    // Any transparency at all is worth a word: never "0 %".
    const qint64 percent = std::max<qint64>(1, (clear * 100 + all / 2) / all);
    return QStringLiteral("transparency lost: %1 % of pixels").arg(percent);
}
