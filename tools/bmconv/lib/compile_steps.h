// The steps of a compile that the one-by-one and the two-thread ways share: preparing a
// source (open, convert, compress) and adding it to the archive in its turn.
#pragma once
#include "compile.h"
#include "compile_bitmap.h"

#include <ostream>

namespace bmconv {

/// What a compile keeps from one source to the next.
struct CompileState {
    EncodeScratch scratch;
    BmpSource picture, alpha;
};

/// One source opened and, where it fits in memory whole, encoded: what is left to do is
/// adding it to the archive in its turn.
struct PreparedSource {
    BitmapJob job;
    bool withAlpha = false;
    PrepareResult result = PrepareResult::TooLarge;
    PreparedBitmap bitmap;
};

/// Opens, converts and (for a picture that fits in memory whole) compresses one source
/// into `state`, without touching the archive. Returns kSuccess or the exit code of the
/// failure, whose reason goes to `details`.
int prepareSource(const CompileRequest& request, const SourceArg& source, const C8Table* c8,
                  CompileState& state, PreparedSource& prepared, std::ostream& details);

/// Adds a prepared source to the archive. A picture too large to be held whole is encoded
/// now, a slice at a time, from the source `state` holds open; a ready one needs nothing of
/// `state`. Returns kSuccess or the exit code of the failure, as prepareSource does.
int finishSource(const CompileRequest& request, const SourceArg& source, ArchiveWriter& writer,
                 CompileState& state, const PreparedSource& prepared, std::ostream& details);

/// Calls the observer tests may set (see setPrepareObserver).
void observePrepare(size_t index, bool done);

#ifndef _WIN32
/// Prepares the sources on two threads and adds them to `writer` in the given order. The
/// first source that fails in that order is the one reported (in `details`, with its exit
/// code returned), as in a compile one by one; nothing after it is added.
int addSourcesInParallel(const CompileRequest& request, const C8Table* c8, ArchiveWriter& writer,
                         std::ostream& details);
#endif

} // namespace bmconv
