// The program folder and the two work folders beside the program.
#pragma once
#include <QDir>
#include <QString>

/// The folder that holds the editor, bmconv.exe and batchrun, without a trailing separator.
/// It is a value handed to the core, so tests can use a fresh folder of their own.
class ProgramFolder {
  public:
    ProgramFolder() = default;
    explicit ProgramFolder(const QString& path) : m_path(QDir::toNativeSeparators(strip(path))) {}

    QString path() const { return m_path; }
    /// The drive line of every batch: the first two characters of the folder, whatever they are.
    QString driveLine() const { return m_path.left(2); }
    /// The build work folder and the reading work folder (no trailing separator).
    QString temp() const { return file(QStringLiteral("temp")); }
    QString tempextract() const { return file(QStringLiteral("tempextract")); }
    /// A path inside the program folder.
    QString file(const QString& name) const { return m_path + QDir::separator() + name; }
    QString inTemp(const QString& name) const { return temp() + QDir::separator() + name; }
    QString inTempextract(const QString& name) const {
        return tempextract() + QDir::separator() + name;
    }
    QString bmconv() const { return file(QStringLiteral("bmconv.exe")); }

  private:
    static QString strip(QString p) {
        while (p.size() > 1 && (p.endsWith(QLatin1Char('/')) || p.endsWith(QLatin1Char('\\'))))
            p.chop(1);
        return p;
    }
    QString m_path;
};
