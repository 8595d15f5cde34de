// Helpers for the tests of reading archives: making archives with the real converter,
// watching the work folder while a run goes on.
#pragma once
#include "mbm/reading_run.h"
#include "support/test_support.h"

#include <QDir>
#include <QImage>
#include <QMap>
#include <QProcess>

namespace testing_support {

/// Makes `dir`/`name` with the real bmconv.exe from `switches.size()` generated 24-bit BMPs
/// of w x h (switch k with picture k). Returns the archive's path, empty on failure.
inline QString makeArchive(const QString& dir, const QString& name, const QStringList& switches,
                           int w = 8, int h = 6, const QString& storeOption = {}) {
    QStringList args;
    if (!storeOption.isEmpty()) args << storeOption;
    args << name;
    for (int k = 0; k < switches.size(); ++k) {
        const QString pic = QStringLiteral("pic%1.bmp").arg(k);
        if (!makePicture(w, h, k).save(QDir(dir).filePath(pic), "BMP")) return {};
        args << switches.at(k) + pic;
    }
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(binDir() + QStringLiteral("/bmconv.exe"), args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) return {};
    for (int k = 0; k < switches.size(); ++k)
        QFile::remove(QDir(dir).filePath(QStringLiteral("pic%1.bmp").arg(k)));
    return QDir(dir).filePath(name);
}

/// Reading options with short pauses; with `time`, the Run stamp is taken from that time of day.
inline ReadingOptions quickReading(const QTime& time = QTime()) {
    ReadingOptions options;
    if (time.isValid()) options.clock = [time] { return time; };
    options.wait = shortPauses();
    return options;
}

/// The names of the files in a folder, sorted.
inline QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

/// Records every status text and, at each one, the text files of the run that exist in
/// the work folder at that moment (the run writes each file before the status that
/// follows it).
class WorkFolderWatcher : public StatusSink {
  public:
    explicit WorkFolderWatcher(QString workFolder) : m_work(std::move(workFolder)) {}
    void setStatus(const QString& text) override {
        texts << text;
        QMap<QString, QByteArray> files;
        for (const QString& n : filesIn(m_work))
            if (!n.endsWith(QStringLiteral(".bmp")) && n != QStringLiteral("bmconv.exe"))
                files.insert(n, readAll(QDir(m_work).filePath(n)));
        snapshots.insert(text, files);
    }
    QStringList texts;
    /// Per status text: file name -> bytes.
    QMap<QString, QMap<QString, QByteArray>> snapshots;

  private:
    QString m_work;
};

} // namespace testing_support
