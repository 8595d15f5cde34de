#include "jobs/atomic_write.h"

#include "jobs/platform.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <memory>

namespace {

ChunkWriter& installedWriter() {
    static ChunkWriter writer;
    return writer;
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

Status writeFailure(const QString& target, const QFileDevice& out) {
    return Status::failure(QStringLiteral("%1 could not be written: %2. The disk may be full.")
                               .arg(native(target), writeFailureReason(out)));
}

bool writeChunk(QIODevice& out, const char* data, qint64 size) {
    const ChunkWriter& writer = installedWriter();
    return (writer ? writer(out, data, size) : out.write(data, size)) == size;
}

/// A temporary file beside the target, holding the complete new content once `finish`
/// succeeded; it is discarded unless committed.
class Staged {
  public:
    explicit Staged(const QString& target) : m_target(target), m_out(target) {
        m_out.setDirectWriteFallback(false);
    }
    Status open() {
        if (m_out.open(QIODevice::WriteOnly)) return Status::success();
        return Status::failure(QStringLiteral("%1 could not be written: %2")
                                   .arg(native(m_target), m_out.errorString()));
    }
    Status write(const char* data, qint64 size) {
        if (writeChunk(m_out, data, size)) {
            m_written += size;
            return Status::success();
        }
        return writeFailure(m_target, m_out);
    }
    /// Flushes to the disk and checks that the file holds every byte written.
    Status finish() {
        if (!m_out.flush() || !platform::syncToDisk(m_out) || m_out.size() != m_written)
            return writeFailure(m_target, m_out);
        return Status::success();
    }
    Status commit() {
        if (m_out.commit()) return Status::success();
        return Status::failure(QStringLiteral("%1 could not be replaced: %2")
                                   .arg(native(m_target), m_out.errorString()));
    }

  private:
    QString m_target;
    QSaveFile m_out;
    qint64 m_written = 0;
};

Status copyInto(const QString& from, Staged& staged) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return Status::failure(
            QStringLiteral("%1 could not be read: %2").arg(native(from), in.errorString()));
    constexpr qint64 kChunk = 1 << 20;
    QByteArray buffer(int(kChunk), Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0)
            return Status::failure(
                QStringLiteral("%1 could not be read: %2").arg(native(from), in.errorString()));
        if (n == 0) return staged.finish();
        if (Status s = staged.write(buffer.constData(), n); !s) return s;
    }
}

} // namespace

QString writeFailureReason(const QFileDevice& out) {
    const bool told =
        out.error() != QFileDevice::NoError && out.errorString() != QFile().errorString();
    return told ? out.errorString() : QStringLiteral("not every byte could be written");
}

ScopedChunkWriter::ScopedChunkWriter(ChunkWriter writer) : m_previous(installedWriter()) {
    installedWriter() = std::move(writer);
}

ScopedChunkWriter::~ScopedChunkWriter() {
    installedWriter() = std::move(m_previous);
}

Status writeFileAtomically(const QString& target, const QByteArray& bytes) {
    Staged staged(target);
    if (Status s = staged.open(); !s) return s;
    if (Status s = staged.write(bytes.constData(), bytes.size()); !s) return s;
    if (Status s = staged.finish(); !s) return s;
    return staged.commit();
}

Status replaceAtomically(const QString& from, const QString& to) {
    return replaceAtomically(std::vector<FileReplacement>{{from, to}});
}

Status replaceAtomically(const std::vector<FileReplacement>& files) {
    std::vector<std::unique_ptr<Staged>> staged;
    staged.reserve(files.size());
    for (const FileReplacement& f : files) {
        staged.push_back(std::make_unique<Staged>(f.to));
        if (Status s = staged.back()->open(); !s) return s;
        if (Status s = copyInto(f.from, *staged.back()); !s) return s;
    }
    for (const std::unique_ptr<Staged>& s : staged)
        if (Status committed = s->commit(); !committed) return committed;
    return Status::success();
}
