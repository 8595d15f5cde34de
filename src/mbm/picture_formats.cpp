#include "mbm/picture_formats.h"

QString allPicturesPattern() {
    QStringList patterns;
    for (const QString& ext : pictureExtensions())
        patterns << QStringLiteral("*.") + ext;
    return patterns.join(QLatin1Char(';'));
}

QStringList extraPicturePatterns() {
    return {QStringLiteral("*.png"), allPicturesPattern()};
}
