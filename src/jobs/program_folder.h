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
          m_workRoot(workRoot.isEmpty() ? m_path : QDir::toNativeSeparators(strip(workRoot))) {}

    QString path() const { return m_path; }
    /// The folder that holds temp and tempextract (no trailing separator).
    QString workRoot() const { return m_workRoot; }
    /// The drive line of every batch: the first two characters of the work root, whatever
    /// they are (the batches change into the work folders).
    QString driveLine() const { return m_workRoot.left(2); }
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
};
