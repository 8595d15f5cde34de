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

// One expression for all patterns, matching whole names ignoring case. As on Windows only
// * and ? are wildcards; every other character, "[" included, stands for itself.
static QRegularExpression patternExpression(const QStringList& patterns) {
    QStringList alternatives;
    for (const QString& p : patterns) {
        QString re, literal;
        for (const QChar c : p) {
            if (c != QLatin1Char('*') && c != QLatin1Char('?')) {
                literal += c;
                continue;
            }
            re += QRegularExpression::escape(literal) +
                  (c == QLatin1Char('*') ? QStringLiteral(".*") : QStringLiteral("."));
            literal.clear();
        }
        alternatives << re + QRegularExpression::escape(literal);
    }
    return QRegularExpression(
        QRegularExpression::anchoredPattern(alternatives.join(QLatin1Char('|'))),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

bool matchesPatterns(const QString& name, const QStringList& patterns) {
    return !patterns.isEmpty() && patternExpression(patterns).match(name).hasMatch();
}

QStringList listMatchingFiles(const QString& folder, const QString& patterns) {
    const QStringList pats = splitPatterns(patterns);
    QStringList out;
    if (pats.isEmpty()) return out;
    // Compiled once: a folder may hold tens of thousands of files.
    const QRegularExpression re = patternExpression(pats);
    // Hidden files are left out: on Windows by their attribute, everywhere by a leading dot.
    const QStringList all = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : all)
        if (!name.startsWith(QLatin1Char('.')) && re.match(name).hasMatch()) out << name;
    return out;
}

QStringList listSubfolders(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}
