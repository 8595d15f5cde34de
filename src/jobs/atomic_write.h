// Writing the user's files so that a full disk, a failed write or a crash never leaves a
// partial file: everything goes into a temporary file beside the target, which replaces
// the target only once every byte has been written and has reached the disk.
#pragma once
#include "jobs/result.h"

#include <QByteArray>
#include <QFileDevice>
#include <QIODevice>
#include <QString>

#include <functional>
#include <vector>

/// One finished file `from` to be copied over the file `to`.
struct FileReplacement {
    QString from;
    QString to;
};

/// Why a write to `out` failed: Qt's reason, or "not every byte could be written" where Qt
/// accepted the bytes into its buffer or failed a flush without saying why.
QString writeFailureReason(const QFileDevice& out);

/// Writes `bytes` as the whole new content of `target`. On failure the target is as it was,
/// no temporary file is left beside it, and the message names the file and the reason.
Status writeFileAtomically(const QString& target, const QByteArray& bytes);

/// Copies `from` over `to` the same way: `to` is either the old file or a complete copy.
Status replaceAtomically(const QString& from, const QString& to);

/// Copies every `from` over its `to`. Every copy is written in full and flushed to the disk
/// before the first one is renamed into place, so a failure to read or write any of them
/// leaves every target as it was. Only a failing rename (after the others succeeded) can
/// leave the set partly replaced; each target is still whole.
Status replaceAtomically(const std::vector<FileReplacement>& files);

/// The call through which the writes above hand their bytes to a file: returns how many
/// bytes were taken, or -1. Anything but all of them counts as a failed write.
using ChunkWriter = std::function<qint64(QIODevice& file, const char* data, qint64 size)>;

/// Puts `writer` in place of the real write while it lives (tests simulate a full disk).
class ScopedChunkWriter {
  public:
    explicit ScopedChunkWriter(ChunkWriter writer);
    ~ScopedChunkWriter();
    ScopedChunkWriter(const ScopedChunkWriter&) = delete;
    ScopedChunkWriter& operator=(const ScopedChunkWriter&) = delete;

  private:
    ChunkWriter m_previous;
};
