#include "walk_helper.h"

#ifndef _WIN32
#include <atomic>
#include <chrono>
#include <mutex>
#include <system_error>
#include <thread>
#endif

namespace bmconv {

#ifndef _WIN32
namespace {

constexpr size_t kPieceItems = 8; // one set of lanes

/// One walk, shared out in pieces of kPieceItems items.
struct Walk {
    const StoredData* items = nullptr;
    size_t count = 0, pieces = 0;
    std::atomic<size_t> next{0}; // the next piece to take
    std::atomic<size_t> done{0}; // pieces walked
    std::atomic<bool> fit{true};

    // Takes and walks pieces until none is left.
    void help() {
        for (size_t piece; (piece = next.fetch_add(1)) < pieces;) {
            const size_t first = piece * kPieceItems;
            const size_t n = std::min(kPieceItems, count - first);
            if (fit.load(std::memory_order_relaxed) && !recordsFit(items + first, n))
                fit.store(false, std::memory_order_relaxed);
            done.fetch_add(1, std::memory_order_release);
        }
    }
};

} // namespace

struct WalkShared {
    std::mutex lock;
    std::shared_ptr<Walk> current; // guarded by lock
    std::atomic<bool> stop{false};
};

namespace {

// The helper thread: it spins while the check it serves lasts (a few milliseconds), since a
// processor put to sleep would take longer than that to wake. Given nothing to do for a
// while (the check decodes a damaged bitmap to name its fault, say), it ends: the caller
// walks every piece it finds untaken.
void serve(const std::shared_ptr<WalkShared>& shared) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kIdleLimit = std::chrono::milliseconds(20);
    auto idleSince = Clock::now();
    while (!shared->stop.load(std::memory_order_acquire)) {
        std::shared_ptr<Walk> walk;
        {
            std::lock_guard<std::mutex> guard(shared->lock);
            walk = shared->current;
        }
        if (walk && walk->next.load(std::memory_order_relaxed) < walk->pieces) {
            walk->help();
            idleSince = Clock::now();
        } else if (Clock::now() - idleSince > kIdleLimit) {
            return;
        } else {
            std::this_thread::yield();
        }
    }
}

} // namespace

WalkHelper::WalkHelper() {
    if (std::thread::hardware_concurrency() < 2) return;
    auto shared = std::make_shared<WalkShared>();
    try {
        // Detached: a helper that has not started yet when the check ends is not waited
        // for; it finds the stop sign when it does start.
        std::thread(serve, shared).detach();
    } catch (const std::system_error&) {
        return;
    }
    shared_ = std::move(shared);
}

WalkHelper::~WalkHelper() {
    if (shared_) shared_->stop.store(true, std::memory_order_release);
}

bool WalkHelper::fit(const StoredData* items, size_t count) {
    if (!shared_ || count <= kPieceItems) return recordsFit(items, count);
    auto walk = std::make_shared<Walk>();
    walk->items = items;
    walk->count = count;
    walk->pieces = (count + kPieceItems - 1) / kPieceItems;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->current = walk;
    }
    walk->help();
    // The helper may still walk a piece it took: the data must stay until it is done.
    while (walk->done.load(std::memory_order_acquire) < walk->pieces)
        std::this_thread::yield();
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->current.reset();
    }
    return walk->fit.load(std::memory_order_relaxed);
}

#else

struct WalkShared {};

WalkHelper::WalkHelper() = default;
WalkHelper::~WalkHelper() = default;

bool WalkHelper::fit(const StoredData* items, size_t count) {
    return recordsFit(items, count);
}

#endif

} // namespace bmconv
