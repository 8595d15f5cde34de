// Helpers for the tests that run the Windows side under wine: where the Windows build and
// wine are, Linux paths as wine names them, and running a Windows program to its end.
#pragma once
#include "support/test_support.h"

#include <QProcess>
#include <QStandardPaths>

namespace wine_support {

/// The folder of the cross-compiled Windows programs (bmconv.exe and the test programs).
inline QString windowsBin() {
    return QStringLiteral(ZEMBREL_WINDOWS_BIN);
}
inline QString windowsProgram(const QString& name) {
    return windowsBin() + QLatin1Char('/') + name;
}

inline QString wine() {
    return QStandardPaths::findExecutable(QStringLiteral("wine"));
}

/// Why the Windows tests cannot run here, or an empty text when they can.
inline QString missingPrerequisite() {
    if (wine().isEmpty())
        return QStringLiteral("wine is not installed (scripts/install-deps.sh --windows)");
    for (const char* name : {"bmconv.exe", "bmconv_corpus.exe", "platform_api_test.exe"})
        if (!QFile::exists(windowsProgram(QLatin1String(name))))
            return QStringLiteral("%1 was not cross-compiled: configure the build with "
                                  "x86_64-w64-mingw32-g++-posix installed "
                                  "(scripts/install-deps.sh --windows)")
                .arg(windowsProgram(QLatin1String(name)));
    return {};
}

/// A Linux path as wine's Windows programs name it: drive Z: is the Linux root.
inline QString winePath(const QString& linuxPath) {
    QString p = QDir::cleanPath(QDir(linuxPath).absolutePath());
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QStringLiteral("Z:") + p;
}

struct WineRun {
    int exitCode = -1; ///< -1 when the program did not end normally in time
    QString output;    ///< standard output and error together
};

/// Runs a Windows program (or wine's own, such as cmd) with `args` in `folder` to its end.
inline WineRun runWine(const QStringList& args, const QString& folder, int timeoutMs = 120000) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(folder);
    p.start(wine(), args);
    WineRun run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        run.output = QString::fromLocal8Bit(p.readAll()) + QStringLiteral("\n(timed out)");
        return run;
    }
    run.output = QString::fromLocal8Bit(p.readAll());
    if (p.exitStatus() == QProcess::NormalExit) run.exitCode = p.exitCode();
    return run;
}

/// A program folder whose batches run through wine's command interpreter, as on Windows:
/// it holds the Windows bmconv.exe, and in place of the batch interpreter a script that
/// hands each batch to `wine cmd /c`. Its ProgramFolder names it as wine sees it (Z:\...)
/// in the batches, so the core writes the very texts it writes on Windows.
class WineProgramFolder {
  public:
    WineProgramFolder() {
        EXPECT_TRUE(m_dir.isValid());
        EXPECT_TRUE(QFile::copy(windowsProgram(QStringLiteral("bmconv.exe")),
                                m_dir.filePath(QStringLiteral("bmconv.exe"))));
        const QString runner = m_dir.filePath(QStringLiteral("batchrun"));
        testing_support::writeAll(runner, QStringLiteral("#!/bin/sh\n"
                                                         "exec '%1' cmd /c \"Z:$(printf '%s' "
                                                         "\"$1\" | tr / '\\\\')\"\n")
                                              .arg(wine())
                                              .toUtf8());
        QFile::setPermissions(runner, QFile::permissions(runner) | QFile::ExeOwner);
    }
    ProgramFolder folder() const {
        return ProgramFolder(m_dir.path())
            .seenByBatchesAs(winePath(m_dir.path()), QLatin1Char('\\'));
    }
    QString path() const { return m_dir.path(); }

  private:
    QTemporaryDir m_dir;
};

} // namespace wine_support
