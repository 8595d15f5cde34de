#include "project/kept_project.h"

#include "project/list_commands.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

const QByteArray kHead = "MBM Zembrel kept project 1";

// Fields are separated by tabs and records by new lines, so both are escaped in a text.
QByteArray escaped(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains('\\') && !bytes.contains('\t') && !bytes.contains('\n') &&
        !bytes.contains('\r'))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (char c : bytes) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescaped(const QByteArray& bytes) {
    if (!bytes.contains('\\')) return QString::fromUtf8(bytes);
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\\' && i + 1 < bytes.size()) {
            const char n = bytes[++i];
            c = n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        }
        out += c;
    }
    return QString::fromUtf8(out);
}

QByteArray rowList(const std::vector<int>& rows) {
    QByteArray out;
    for (int r : rows) {
        if (!out.isEmpty()) out += ',';
        out += QByteArray::number(r);
    }
    return out;
}

} // namespace

KeptProject::KeptProject(QString folder, QString workFolder, FilesOf filesOf)
    : m_folder(std::move(folder)), m_workFolder(folderWithSeparator(workFolder)),
      m_filesOf(filesOf ? std::move(filesOf)
                        : [](const QString& name) { return QStringList{name}; }) {}

QString KeptProject::file() const {
    return QDir(m_folder).filePath(QStringLiteral("project.txt"));
}

QString KeptProject::bitmaps() const {
    return QDir(m_folder).filePath(QStringLiteral("bitmaps"));
}

QByteArray KeptProject::text(const ProjectState& state, const QString& workFolder) {
    const QString work = folderWithSeparator(workFolder);
    QByteArray out;
    out.reserve(qsizetype(state.entries.size()) * 96 + 256);
    out += kHead + '\n';
    out += "filename\t" + escaped(state.filename) + '\n';
    for (auto it = state.settings.cbegin(); it != state.settings.cend(); ++it)
        out += "setting\t" + escaped(it.key()) + '\t' + escaped(it.value().toString()) + '\n';
    out += "selected\t" + rowList(state.selected) + '\n';
    out += "current\t" + QByteArray::number(state.current) + '\n';
    for (const BitmapEntry& e : state.entries) {
        const bool inWork = e.dir == work;
        out += "entry\t" + escaped(e.colour) + '\t' + (inWork ? "w" : "d") + '\t' + escaped(e.dir) +
               '\t' + escaped(e.name) + '\t' + escaped(e.origin.archive) + '\t' +
               QByteArray::number(int(e.origin.type)) + '\t' + QByteArray::number(e.origin.index) +
               '\n';
    }
    out += "end\n";
    return out;
}

std::optional<ProjectState> KeptProject::parse(const QByteArray& text, const QString& workFolder) {
    const QString work = folderWithSeparator(workFolder);
    const QList<QByteArray> lines = text.split('\n');
    // A file cut short (it never is, being replaced whole, but a disk may fail) is no project.
    if (lines.size() < 2 || lines.first() != kHead || !lines.contains("end")) return {};
    ProjectState state;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> f = line.split('\t');
        const QByteArray& kind = f.first();
        if (kind == "filename" && f.size() >= 2) {
            state.filename = unescaped(f[1]);
        } else if (kind == "setting" && f.size() >= 3) {
            state.settings.insert(unescaped(f[1]), unescaped(f[2]));
        } else if (kind == "selected" && f.size() >= 2) {
            for (const QByteArray& r : f[1].split(',')) {
                bool ok = false;
                const int row = r.toInt(&ok);
                if (ok) state.selected.push_back(row);
            }
        } else if (kind == "current" && f.size() >= 2) {
            state.current = f[1].toInt();
        } else if (kind == "entry" && f.size() >= 8) {
            BitmapEntry e;
            e.colour = unescaped(f[1]);
            e.dir = f[2] == "w" ? work : unescaped(f[3]);
            e.name = unescaped(f[4]);
            e.origin.archive = unescaped(f[5]);
            e.origin.type = ArchiveType(std::clamp(f[6].toInt(), 0, 3));
            e.origin.index = f[7].toInt();
            if (int(state.entries.size()) < ProjectList::kMaxEntries)
                state.entries.push_back(std::move(e));
        }
    }
    const int n = int(state.entries.size());
    std::vector<int> selected;
    for (int r : state.selected)
        if (r >= 0 && r < n) selected.push_back(r);
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    state.selected = std::move(selected);
    if (state.current >= n) state.current = -1;
    return state;
}

QString KeptProject::write(const ProjectState& state) {
    const QDir bitmapDir(bitmaps());
    if (!m_copiesKnown) {
        if (!QDir().mkpath(bitmaps()))
            return QStringLiteral("The folder %1 could not be created.")
                .arg(QDir::toNativeSeparators(bitmaps()));
        const QStringList names = bitmapDir.entryList(QDir::Files);
        m_copies = QSet<QString>(names.begin(), names.end());
        m_copiesKnown = true;
    }
    QSet<QString> needed;
    for (const BitmapEntry& e : state.entries) {
        if (e.dir != m_workFolder || needed.contains(e.name)) continue;
        for (const QString& name : m_filesOf(e.name)) {
            needed.insert(name);
            if (m_copies.contains(name)) continue;
            // A file already gone from the work folder cannot be kept; its entry still is.
            if (QFile::copy(e.dir + name, bitmapDir.filePath(name))) m_copies.insert(name);
        }
    }
    QSaveFile out(file());
    if (!out.open(QIODevice::WriteOnly) || out.write(text(state, m_workFolder)) < 0 ||
        !out.commit())
        return QStringLiteral("The unsaved work could not be kept in %1: %2")
            .arg(QDir::toNativeSeparators(file()), out.errorString());
    for (auto it = m_copies.begin(); it != m_copies.end();) {
        if (needed.contains(*it)) {
            ++it;
        } else {
            QFile::remove(bitmapDir.filePath(*it));
            it = m_copies.erase(it);
        }
    }
    return {};
}

void KeptProject::remove() {
    QFile::remove(file());
    QDir(bitmaps()).removeRecursively();
    m_copies.clear();
    m_copiesKnown = false;
}

std::optional<ProjectState> KeptProject::read() const {
    QFile in(file());
    if (!in.open(QIODevice::ReadOnly)) return {};
    std::optional<ProjectState> state = parse(in.readAll(), m_workFolder);
    if (!state) return {};
    bool madeWork = false;
    for (const BitmapEntry& e : state->entries) {
        if (e.dir != m_workFolder) continue;
        for (const QString& name : m_filesOf(e.name)) {
            if (QFile::exists(e.dir + name)) continue;
            if (!madeWork) madeWork = QDir().mkpath(m_workFolder);
            QFile::copy(QDir(bitmaps()).filePath(name), e.dir + name);
        }
    }
    return state;
}
