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

QString originName(const EntryOrigin& origin, bool fullPath) {
    const QString archive =
        fullPath ? QDir::toNativeSeparators(origin.archive) : QFileInfo(origin.archive).fileName();
    return QStringLiteral("%1 #%2").arg(archive).arg(origin.index);
}

static QString sizeText(const PictureFacts& f) {
    return QStringLiteral("%1 %2 %3").arg(f.size.width()).arg(QChar(0x00D7)).arg(f.size.height());
}

static QString switchText(const PictureFacts& f) {
    const std::optional<bmconv::BitmapMode> mode = modeOfSwitch(f.colourSwitch);
    if (!mode) return QStringLiteral("%1: no such switch").arg(f.colourSwitch);
    return QStringLiteral("%1: %2").arg(f.colourSwitch, modeMeaning(*mode));
}

static QString storedText(const PictureFacts& f, bool longForm) {
    if (!f.storeProblem.isEmpty()) return f.storeProblem;
    if (f.sizePending) return QStringLiteral("size in the archive: working it out\u2026");
    const QString bytes = number(f.stored.bitmapBytes);
    const QString how = compressionName(f.stored.compression);
    return longForm ? QStringLiteral("%1 bytes in the archive, %2").arg(bytes, how)
                    : QStringLiteral("%1 bytes, %2").arg(bytes, how);
}

QString factsLine(const PictureFacts& f) {
    QStringList parts{sizeText(f), f.source, switchText(f), storedText(f, false)};
    if (f.origin.fromArchive())
        parts << QStringLiteral("%1, %2").arg(originName(f.origin, false),
                                              archiveTypeName(f.origin.type));
    return parts.join(QStringLiteral(" \u00B7 "));
}

QString factsTooltip(const PictureFacts& f) {
    QStringList lines{sizeText(f) + QStringLiteral(" pixels"), f.source, switchText(f),
                      storedText(f, true)};
    if (f.origin.fromArchive())
        lines << QStringLiteral("From %1, %2")
                     .arg(originName(f.origin, true), archiveTypeName(f.origin.type));
    return lines.join(QLatin1Char('\n'));
}
