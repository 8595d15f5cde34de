// The program folder and the two work folders of the jobs.
#pragma once
#include "jobs/work_protocol.h"

#include <QDir>
#include <QString>

/// The folder that holds the editor, bmconv.exe and batchrun, without a trailing separator,
/// and the work root under which the work folders temp and tempextract lie. The work root is
/// the program folder itself unless another one is given (an installed copy whose program
/// folder cannot be written keeps its work folders in a per-user folder). It is a value
/// handed to the core, so tests can use a fresh folder of their own.
class ProgramFolder {
  public:
    ProgramFolder() = default;
    explicit ProgramFolder(const QString& path, const QString& workRoot = {})
        : m_path(QDir::toNativeSeparators(strip(path))),
          m_workRoot(workRoot.isEmpty() ? m_path : QDir::toNativeSeparators(strip(workRoot))),
          m_batchRoot(m_workRoot) {}

    /// The same folders for batches that run under another system's command interpreter,
    /// which names the work root `batchRoot` and puts `separator` between names (a Linux
    /// folder that a Windows interpreter sees as Z:\...). Only the batches' head lines
    /// change; files are still reached through the paths below.
    ProgramFolder seenByBatchesAs(const QString& batchRoot, QChar separator) const {
        ProgramFolder pf = *this;
        pf.m_batchRoot = strip(batchRoot);
        pf.m_batchSeparator = separator;
        return pf;
    }

    QString path() const { return m_path; }
    /// The folder that holds temp and tempextract (no trailing separator).
    QString workRoot() const { return m_workRoot; }
    /// The work root as the batches name it (the work root itself, unless set otherwise).
    QString batchRoot() const { return m_batchRoot; }
    /// The drive line of every batch: the drive letter and colon that the work root begins
    /// with as the batches name it ("C:"), which makes that drive current before the cd
    /// line. Empty where that path has no drive (a Linux folder): such batches have no drive
    /// line, since an interpreter would take "/h" for a command.
    QString driveLine() const {
        const bool drive = m_batchRoot.size() >= 2 && m_batchRoot.at(1) == QLatin1Char(':') &&
                           m_batchRoot.at(0).isLetter() && m_batchRoot.at(0).unicode() < 0x80;
        return drive ? m_batchRoot.left(2) : QString();
    }
    /// The work folder `name` as the cd line of a batch names it, with a trailing separator
    /// when asked.
    QString batchFolder(const QString& name, bool trailingSeparator) const {
        return m_batchRoot + m_batchSeparator + name +
               (trailingSeparator ? QString(m_batchSeparator) : QString());
    }
    /// The build work folder and the reading work folder (no trailing separator).
    QString temp() const { return workFolder(work_files::kTempFolder); }
    QString tempextract() const { return workFolder(work_files::kTempextractFolder); }
    /// The work folder `name` under the work root.
    QString workFolder(const QString& name) const { return m_workRoot + QDir::separator() + name; }
    /// A path inside the program folder.
    QString file(const QString& name) const { return m_path + QDir::separator() + name; }
    QString inTemp(const QString& name) const { return temp() + QDir::separator() + name; }
    QString inTempextract(const QString& name) const {
        return tempextract() + QDir::separator() + name;
    }
    QString bmconv() const { return file(work_files::kBmconv); }

  private:
    static QString strip(QString p) {
        while (p.size() > 1 && (p.endsWith(QLatin1Char('/')) || p.endsWith(QLatin1Char('\\'))))
            p.chop(1);
        return p;
    }
    QString m_path;
    QString m_workRoot;
    QString m_batchRoot;
    QChar m_batchSeparator = QDir::separator();
};
