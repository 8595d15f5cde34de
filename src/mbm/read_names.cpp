#include "mbm/read_names.h"

#include "jobs/work_protocol.h"

#include <QDir>

QString runStampFor(const QTime& time) {
    QString stamp = time.toString(QStringLiteral("HH:mm:ss"));
    stamp.replace(QLatin1Char(':'), QLatin1Char('-'));
    return stamp.trimmed();
}

namespace {

// "a".."z", "aa".."az", "ba", ... for 1, 2, 3, ...
QString letters(int n) {
    QString s;
    while (n > 0) {
        --n;
        s.prepend(QChar(QLatin1Char('a').unicode() + n % 26));
        n /= 26;
    }
    return s;
}

bool stampInUse(const QDir& dir, const QString& stamp) {
    const QString pattern = QStringLiteral("image") + stamp + QStringLiteral("_*.bmp");
    return !dir.entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System).isEmpty();
}

} // namespace

QString uniqueRunStamp(const QString& base, const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists()) return base;
    // 26 + 26 * 26 candidates are more than enough: one run takes a few hundred ms at least.
    for (int i = 0; i <= 26 + 26 * 26; ++i) {
        const QString candidate = base + letters(i);
        if (!stampInUse(dir, candidate)) return candidate;
    }
    return base + letters(26 + 26 * 26 + 1);
}

QString extractedBitmapName(const QString& stamp, int k) {
    return QStringLiteral("image%1_%2.bmp").arg(stamp).arg(k);
}

QStringList extractCommandLines(const QString& mbmName, const QString& stamp, int n) {
    QStringList lines{QStringLiteral("/u ") + mbmName};
    for (int k = 0; k < n; ++k)
        lines << extractedBitmapName(stamp, k);
    return lines;
}

bool isBareSafeName(const QString& name) {
    if (name.isEmpty()) return false;
    // Wildcards too: the clean-up's "del <name>" would delete every file they match.
    static const QString special = QStringLiteral(" \"&|<>^%,;=/\\*?");
    for (const QChar c : name)
        // Letters beyond ASCII could change on their way through the batch's code page.
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f || special.contains(c)) return false;
    using namespace work_files;
    static const QStringList workFiles{kBmconv,     kScanBat,   kTempLog,
                                       kEndLog,     kErrorLog,  kExtractCommandFile,
                                       kExtractBat, kCleanupBat};
    for (const QString& w : workFiles)
        if (name.compare(w, Qt::CaseInsensitive) == 0) return false;
    // A bitmap name could meet the bitmaps of this or an earlier run, which stay in the folder.
    if (name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) return false;
    // A name like "-x" could be taken for an option of the converter.
    return !name.startsWith(QLatin1Char('-'));
}

QString safeArchiveName(const QString& stamp) {
    return QStringLiteral("archive") + stamp + QStringLiteral(".mbm");
}

QString readingWorkName(const QString& mbmName, bool inWorkFolder, const QString& stamp) {
    return isBareSafeName(mbmName) && !inWorkFolder ? mbmName : safeArchiveName(stamp);
}
