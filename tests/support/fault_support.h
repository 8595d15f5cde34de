// Helpers for the tests of faults: converters that misbehave, a disk that fills up.
#pragma once
#include "support/test_support.h"

#include <QProcess>

#include <unistd.h>

namespace testing_support {

/// Replaces bmconv.exe in the program folder by a shell script running `body`, in which
/// $REAL names the real converter.
inline void installConverterScript(const TempProgramFolder& pf, const QString& body) {
    const QString tool = pf.file(QStringLiteral("bmconv.exe"));
    QFile::remove(tool);
    writeAll(tool,
             (QStringLiteral("#!/bin/sh\nREAL='%1/bmconv.exe'\n").arg(binDir()) + body).toUtf8());
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner | QFile::ExeUser);
}

/// A folder on a file system of `kib` KiB: a tmpfs mounted for the test where it runs as
/// root; elsewhere `mounted()` is false and the caller simulates the full disk instead.
class SmallDisk {
  public:
    explicit SmallDisk(int kib) {
        if (::geteuid() != 0) return;
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                       QStringLiteral("-o"), QStringLiteral("size=%1k").arg(kib),
                                       QStringLiteral("tmpfs"), m_dir.path()}) == 0;
    }
    ~SmallDisk() {
        if (m_mounted) QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

  private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

/// A write that takes only half of what it is given, as a disk that has just filled up.
inline qint64 halfWrite(QIODevice& file, const char* data, qint64 size) {
    return file.write(data, size / 2);
}

} // namespace testing_support
