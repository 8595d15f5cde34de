// Helpers shared by the editor's tests: a fresh program folder, scripted dialogs, a status
// recorder, and small file utilities.
#pragma once
#include "jobs/interaction.h"
#include "jobs/platform.h"
#include "jobs/program_folder.h"
#include "jobs/status_sink.h"
#include "support/short_pauses.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <deque>
#include <gtest/gtest.h>
#include <unistd.h>

/// Lets GoogleTest print QString values readably.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace testing_support {

inline QString binDir() {
    return QStringLiteral(ZEMBREL_BIN_DIR);
}
inline QString testdata() {
    return QStringLiteral(ZEMBREL_TESTDATA);
}
/// An archive of the real-archive set of the test data.
inline QString realMbm(const QString& name) {
    return testdata() + QStringLiteral("/real-mbm/") + name;
}

/// A program folder of its own in a temp dir, holding copies of bmconv.exe and batchrun
/// (unless asked to leave one out).
class TempProgramFolder {
  public:
    explicit TempProgramFolder(bool withBmconv = true, bool withBatchrun = true) {
        EXPECT_TRUE(m_dir.isValid());
        if (withBmconv) copyExecutable(QStringLiteral("bmconv.exe"));
        if (withBatchrun) copyExecutable(QStringLiteral("batchrun"));
    }
    /// A save or a reading run leaves its clean-up batch running; the folder goes only when
    /// that batch has deleted itself (for at most two seconds), so none of it is left behind.
    ~TempProgramFolder() {
        if (!QFileInfo::exists(m_dir.filePath(QStringLiteral("batchrun")))) return;
        QElapsedTimer waited;
        waited.start();
        for (const char* work : {"temp", "tempextract"}) {
            const QString batch =
                m_dir.filePath(QLatin1String(work) + QStringLiteral("/cleanup.bat"));
            while (QFileInfo::exists(batch) && waited.elapsed() < 2000)
                QThread::msleep(2);
        }
    }
    ProgramFolder folder() const { return ProgramFolder(m_dir.path()); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

  private:
    void copyExecutable(const QString& name) {
        const QString from = binDir() + QLatin1Char('/') + name;
        const QString to = m_dir.filePath(name);
        EXPECT_TRUE(QFile::copy(from, to)) << "missing " << from.toStdString();
        QFile::setPermissions(to, QFile::permissions(to) | QFile::ExeOwner | QFile::ExeUser);
    }
    QTemporaryDir m_dir;
};

/// Scripted answers for file dialogs and a record of every message box and dialog shown.
class ScriptedInteraction : public Interaction {
  public:
    /// The next file dialog answers `path`; an empty optional answers Cancel.
    void answer(const std::optional<QString>& path) {
        m_answers.push_back({path.has_value(), path.value_or(QString())});
    }

    std::optional<QString> fileDialog(const FileDialogRequest& request) override {
        requests.push_back(request);
        if (m_answers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        const Answer a = m_answers.front();
        m_answers.pop_front();
        if (!a.chosen) return std::nullopt;
        return a.path;
    }
    void message(const QString& text, const QString& title) override {
        messages.push_back({text, title});
    }

    struct Message {
        QString text, title;
    };
    std::vector<FileDialogRequest> requests;
    std::vector<Message> messages;

  private:
    // Kept apart from std::optional, whose copies of QString upset the compiler's checks.
    struct Answer {
        bool chosen;
        QString path;
    };
    std::deque<Answer> m_answers;
};

/// Records every status text a job sets.
class StatusRecorder : public StatusSink {
  public:
    void setStatus(const QString& text) override { texts << text; }
    QStringList texts;
};

/// How many processes of the process group `group` have not ended (an ended process that
/// its parent has not collected yet does not count).
inline int liveProcessesIn(pid_t group) {
    int live = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        // pid (name) state ppid pgrp ...
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toInt() == group && fields[0] != "Z") ++live;
    }
    return live;
}

/// Ends a started batch together with every program it started and waits until all are
/// gone. They share one process group: the batch starts detached, in a session of its own.
/// False when something was still there after five seconds.
inline bool endBatchAndItsPrograms(const BatchProcess& batch) {
    if (!batch.started()) return true;
    const pid_t group = ::getpgid(pid_t(batch.pid));
    if (group <= 1 || group == ::getpgrp()) return false; // not a group of its own
    ::kill(-group, SIGKILL);
    QElapsedTimer clock;
    clock.start();
    while (liveProcessesIn(group) > 0) {
        if (clock.elapsed() > 5000) return false;
        QThread::msleep(5);
    }
    return true;
}

/// A window's title as the platform shows it: the "[*]" mark of unsaved changes an asterisk
/// while the window is modified, gone otherwise.
template <typename Window> QString shownTitle(const Window& w) {
    QString title = w.windowTitle();
    return title.replace(QStringLiteral("[*]"),
                         w.isWindowModified() ? QStringLiteral("*") : QString());
}

/// The bytes of a file (empty when it cannot be read).
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Writes `bytes` to `path`.
inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

/// A picture of w x h with a simple pattern, saved in the format of the file's extension.
inline QImage makePicture(int w, int h, int seed = 0) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         qRgb((x * 37 + seed) & 255, (y * 53 + seed * 7) & 255,
                              ((x + y) * 11 + seed * 3) & 255));
    return img;
}

/// Joins CR LF ended lines, as the system writes text files.
inline QByteArray crlf(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += l.toLocal8Bit() + "\r\n";
    return out;
}

} // namespace testing_support
