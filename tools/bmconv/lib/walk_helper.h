// A second thread for the record walk of a listing or a split's check: it lives as long as
// the check of one archive and takes pieces of each walk given to it.
#pragma once
#include "mbm_record_walk.h"

#include <cstddef>
#include <memory>

namespace bmconv {

struct WalkShared;

/// Shares the walks of recordsFit between the calling thread and one helper thread. The
/// helper waits for work without sleeping, so that it answers at once: keep one only
/// around a run of walks (the check of one archive). It ends by itself after 20 ms without
/// work. Without threads (Windows, or one processor) the caller walks alone.
class WalkHelper {
  public:
    WalkHelper();
    ~WalkHelper();
    WalkHelper(const WalkHelper&) = delete;
    WalkHelper& operator=(const WalkHelper&) = delete;

    /// recordsFit over `items`, in pieces taken by whichever thread is free. Returns once
    /// every piece is walked: the data need not outlive the call.
    bool fit(const StoredData* items, size_t count);

  private:
    std::shared_ptr<WalkShared> shared_;
};

} // namespace bmconv
