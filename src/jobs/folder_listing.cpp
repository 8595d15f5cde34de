#include "jobs/folder_listing.h"

#include <QDir>
#include <QRegularExpression>

QStringList splitPatterns(const QString& patterns) {
    QStringList out;
    for (const QString& p : patterns.split(QLatin1Char(';'))) {
        const QString t = p.trimmed();
        if (!t.isEmpty()) out << t;
    }
    return out;
}

bool matchesPatterns(const QString& name, const QStringList& patterns) {
    for (const QString& p : patterns) {
        const QRegularExpression re(
            QRegularExpression::wildcardToRegularExpression(p, QRegularExpression::UnanchoredWildcardConversion),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = re.match(name);
        if (m.hasMatch() && m.capturedStart() == 0 && m.capturedLength() == name.size())
            return true;
    }
    return false;
}

QStringList listMatchingFiles(const QString& folder, const QString& patterns) {
    const QStringList pats = splitPatterns(patterns);
    QStringList out;
    if (pats.isEmpty()) return out;
    const QStringList all =
        QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : all)
        if (matchesPatterns(name, pats)) out << name;
    return out;
}

QStringList listSubfolders(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                  QDir::Name | QDir::IgnoreCase);
}
