#include "project/picture_extensions.h"

#include <QImageReader>

QStringList pictureExtensions() {
    QStringList known{QStringLiteral("jpg"), QStringLiteral("bmp"), QStringLiteral("gif"),
                      QStringLiteral("png")};
    QStringList others;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString ext = QString::fromLatin1(format).toLower();
        if (!known.contains(ext) && !others.contains(ext)) others << ext;
    }
    others.sort();
    // The first four are listed whatever Qt reports, so the pattern stays the same where a
    // plug-in is missing (a file that cannot be read simply shows no preview).
    return known + others;
}
