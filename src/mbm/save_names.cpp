#include "mbm/save_names.h"

#include "jobs/work_protocol.h"
#include "mbm/picture_conversion.h"

#include <QHash>
#include <QSet>

namespace {

bool isBareChar(QChar c) {
    if (c.unicode() > 127) return false;
    if (c.isLetterOrNumber()) return true;
    static const QString extra = QStringLiteral("._-+~#@$()[]{}'");
    return extra.contains(c);
}

QString folded(const QString& name) {
    return name.toCaseFolded();
}

/// True when a work bitmap of that name could be the alpha file of another one.
bool isAlphaFileName(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? name : name.left(dot)).endsWith(QLatin1String("-alpha"), Qt::CaseInsensitive);
}

/// True when the converter's switch could swallow the first character of `name`.
bool startsLikeASwitch(const QString& name) {
    return !name.isEmpty() && (name.front().isDigit() || name.front() == QLatin1Char('a') ||
                               name.front() == QLatin1Char('A'));
}

/// base + ext when that is free, else base + "_" + n + ext for the first free n >= 2.
QString freeName(const QString& base, const QString& ext, const QSet<QString>& used) {
    if (!used.contains(folded(base + ext)) && !isAlphaFileName(base + ext)) return base + ext;
    for (int n = 2;; ++n) {
        const QString candidate = base + QLatin1Char('_') + QString::number(n) + ext;
        if (!used.contains(folded(candidate))) return candidate;
    }
}

/// Splits "name.ext" into "name" and ".ext" at the last dot ("" when there is none).
std::pair<QString, QString> splitExtension(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return {name, QString()};
    return {name.left(dot), name.mid(dot)};
}

} // namespace

const QStringList& reservedWorkNames() {
    using namespace work_files;
    static const QStringList names = {kBuildCommandFile, kBuildBat, kCleanupBat,         kBmconv,
                                      kErrorLog,         kEndLog,   kIdentifierNamesFile};
    return names;
}

bool isBareName(const QString& name) {
    if (name.isEmpty()) return false;
    for (QChar c : name)
        if (!isBareChar(c)) return false;
    return true;
}

bool isBarePictureName(const QString& name) {
    return isBareName(name) && !startsLikeASwitch(name);
}

QString bareVersionOf(const QString& name) {
    QString out = name;
    for (QChar& c : out)
        if (!isBareChar(c)) c = QLatin1Char('_');
    return out;
}

/// Which work bitmap an entry takes: one per picture, and one apart for its /c32a entries,
/// whose bitmap keeps the colour under transparency that the others flatten.
static QString workSource(const BitmapEntry& e) {
    const QString source = e.dir + e.name;
    return e.colour == QLatin1String("/c32a") ? source + QChar(0) : source;
}

QStringList workBitmapNames(const std::vector<BitmapEntry>& entries, const QStringList& variants) {
    auto keyOf = [&entries, &variants](size_t i) {
        const QString source = workSource(entries[i]);
        return int(i) < variants.size() ? source + QLatin1Char('\n') + variants[int(i)] : source;
    };
    QHash<QString, QString> bySource; // folder + name -> work bitmap name
    QStringList pending;              // sources that need a name of their own, in order
    QHash<QString, QString> pendingDoc;
    QSet<QString> used;
    // First every picture whose converted name is bare and still free keeps it, so no
    // renamed picture can take a name another entry is documented to use.
    for (size_t i = 0; i < entries.size(); ++i) {
        const BitmapEntry& e = entries[i];
        const QString source = keyOf(i);
        if (bySource.contains(source) || pendingDoc.contains(source)) continue;
        const QString doc = convertedName(e.name);
        if (isBarePictureName(doc) && !isAlphaFileName(doc) && !used.contains(folded(doc))) {
            bySource.insert(source, doc);
            used.insert(folded(doc));
        } else {
            pending << source;
            pendingDoc.insert(source, doc);
        }
    }
    for (const QString& source : pending) {
        QString base = bareVersionOf(splitExtension(pendingDoc.value(source)).first);
        if (base.isEmpty() || startsLikeASwitch(base)) base.prepend(QLatin1Char('p'));
        const QString name = freeName(base, QStringLiteral(".bmp"), used);
        bySource.insert(source, name);
        used.insert(folded(name));
    }
    QStringList names;
    names.reserve(int(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i)
        names << bySource.value(keyOf(i));
    return names;
}

QString outputNameFor(const QString& title, const QStringList& taken) {
    QSet<QString> used;
    for (const QString& n : taken)
        used.insert(folded(n));
    for (const QString& n : reservedWorkNames())
        used.insert(folded(n));
    QString name = bareVersionOf(title);
    // A leading '-' would make the converter read the name as an option.
    if (name.startsWith(QLatin1Char('-'))) name.front() = QLatin1Char('_');
    if (name.isEmpty()) name = QStringLiteral("archive.mbm");
    const auto [base, ext] = splitExtension(name);
    return freeName(base, ext, used);
}
