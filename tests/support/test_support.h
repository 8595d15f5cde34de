// Helpers shared by the editor's tests: a fresh program folder, scripted dialogs, a status
// recorder, and small file utilities.
#pragma once
#include "jobs/interaction.h"
#include "jobs/program_folder.h"
#include "jobs/status_sink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

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

/// A program folder of its own in a temp dir, holding copies of bmconv.exe and batchrun
/// (unless asked to leave one out).
class TempProgramFolder {
  public:
    explicit TempProgramFolder(bool withBmconv = true, bool withBatchrun = true) {
        EXPECT_TRUE(m_dir.isValid());
        if (withBmconv) copyExecutable(QStringLiteral("bmconv.exe"));
        if (withBatchrun) copyExecutable(QStringLiteral("batchrun"));
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
