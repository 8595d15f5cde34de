// Waiting for a batch: the marker wait and its relatives.
#pragma once
#include "jobs/platform.h"

#include <functional>

enum class WaitResult {
    Done,       ///< the awaited condition came true
    BatchEnded, ///< the batch has ended (or never started) and one last test still failed
    TimedOut,   ///< the ceiling was reached
};

struct WaitOptions {
    int pauseMs = 100;
    /// A generous ceiling: no wait can hang the program for ever.
    int ceilingMs = 10 * 60 * 1000;
    /// Called before every pause (a status window repaints itself here).
    std::function<void()> beforePause;
};

/// Pauses, then tests `done` after every further pause until it is true. Also ends when
/// the batch process has ended and one last test still fails, or at the ceiling.
WaitResult waitUntil(const std::function<bool()>& done, const BatchProcess& batch,
                     const WaitOptions& options = {});

/// The marker wait: until the file at `path` exists (FileExists).
WaitResult waitForFile(const QString& path, const BatchProcess& batch,
                       const WaitOptions& options = {});

/// Until the file at `path` no longer exists (a batch that deletes itself at its end).
WaitResult waitForRemoval(const QString& path, const BatchProcess& batch,
                          const WaitOptions& options = {});
