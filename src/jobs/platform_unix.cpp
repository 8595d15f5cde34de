#include "jobs/platform.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStorageInfo>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <csignal>

namespace platform {

BatchProcess startBatchHidden(const ProgramFolder& pf, const QString& batPath) {
    BatchProcess batch;
    const QString runner = pf.file(QStringLiteral("batchrun"));
    if (!QFile::exists(runner)) {
        batch.error = QStringLiteral("The batch interpreter %1 is missing.").arg(runner);
        return batch;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(runner, {batPath}, pf.path(), &pid) || pid == 0) {
        batch.error = QStringLiteral("Could not start %1.").arg(batPath);
        return batch;
    }
    batch.pid = pid;
    return batch;
}

bool isRunning(const BatchProcess& batch) {
    if (!batch.started()) return false;
    if (::kill(pid_t(batch.pid), 0) != 0 && errno != EPERM) return false;
    // A detached process that has ended may linger as a zombie where nobody reaps it.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(batch.pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        const int close = text.lastIndexOf(')');
        if (close > 0 && close + 2 < text.size() && text.at(close + 2) == 'Z') return false;
    }
    return true;
}

void sleepMs(int ms) {
    QThread::msleep(ulong(ms));
}

QStringList driveRoots() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady()) continue;
        const QString root = v.rootPath();
        if (!roots.contains(root)) roots << root;
    }
    return roots;
}

bool openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace platform
