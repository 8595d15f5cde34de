// The two-thread compile. Each thread takes the next source, prepares it with its own
// state and, when it is that source's turn, adds it to the archive. A source prepared
// before its turn is parked (its bytes copied, within a budget) so that its thread goes on
// with the next one instead of waiting: a slow picture on one thread or a large write on
// the other then holds nobody up. Whoever adds a source in its turn also adds the parked
// ones that follow it.
#ifndef _WIN32
#include "compile_steps.h"
#include "messages.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <new>
#include <sstream>
#include <system_error>
#include <thread>
#include <vector>

namespace bmconv {
namespace {

// Parked bytes at most: a thread runs ahead of the archive by this much, whatever the
// pictures' sizes. A source whose bytes do not fit waits for its turn instead.
constexpr size_t kParkedBytes = size_t(8) << 20;
// Buffers of parked bytes kept for reuse, at most.
constexpr size_t kSpareBytes = size_t(2) << 20;

/// A source prepared, or failed, before its turn.
struct Outcome {
    int code = kSuccess;
    std::string details;
    PreparedSource prepared;
    bool copied = false;        // prepared.bitmap points into `bytes`
    std::vector<uint8_t> bytes; // a parked bitmap's data
};

class OrderedAdder {
  public:
    OrderedAdder(const CompileRequest& request, const C8Table* c8, ArchiveWriter& writer)
        : request_(request), c8_(c8), writer_(writer) {}

    int run(std::ostream& details) {
        std::thread helper;
        try {
            helper = std::thread([this] { workWithOwnState(); });
        } catch (const std::system_error&) {
            // No thread to be had (a process limit): this one takes every source in turn.
        }
        workWithOwnState();
        if (helper.joinable()) helper.join();
        details << failureDetails_;
        return failure_;
    }

  private:
    // work() with a state of its own. Memory running out anywhere in it stops the compile
    // with the report a compile one by one gives, instead of ending the converter.
    void workWithOwnState() {
        try {
            auto state = std::make_unique<CompileState>();
            work(*state);
        } catch (const std::bad_alloc&) {
            std::lock_guard<std::mutex> guard(lock_);
            if (failure_ == kSuccess) {
                failure_ = kOutOfMemory;
                failureDetails_ = "Not enough memory to compile " + request_.destination + "\n";
            }
            stopped_ = true;
            turnChanged_.notify_all();
        }
    }

    void work(CompileState& state) {
        const size_t n = request_.sources.size();
        for (;;) {
            const size_t i = next_.fetch_add(1);
            if (i >= n || stopped_.load(std::memory_order_acquire)) return;
            Outcome outcome = prepare(i, state);
            // Not its turn yet, most likely: the bytes are copied out before the lock is
            // taken, so that the other thread is never kept waiting for a copy.
            if (turn_.load(std::memory_order_acquire) != i) copyOut(outcome);
            std::unique_lock<std::mutex> guard(lock_);
            if (stopped_) return;
            if (writing_ || turn_ != i) {
                if (park(i, outcome)) continue;
                turnChanged_.wait(guard, [&] { return stopped_ || (!writing_ && turn_ == i); });
                if (stopped_) return;
            }
            writing_ = true;
            guard.unlock();
            bool ok = add(i, outcome, state);
            guard.lock();
            recycle(outcome);
            // The parked sources that follow are added too.
            while (ok) {
                turn_.store(turn_ + 1, std::memory_order_release);
                const auto waiting = parked_.find(turn_);
                if (waiting == parked_.end()) break;
                Outcome next = std::move(waiting->second);
                parked_.erase(waiting);
                parkedBytes_ -= next.bytes.size();
                guard.unlock();
                ok = add(turn_, next, state);
                guard.lock();
                recycle(next);
            }
            writing_ = false;
            turnChanged_.notify_all();
            if (!ok) return;
        }
    }

    Outcome prepare(size_t index, CompileState& state) {
        Outcome outcome;
        std::ostringstream text;
        observePrepare(index, false);
        try {
            outcome.code = prepareSource(request_, request_.sources[index], c8_, state,
                                         outcome.prepared, text);
        } catch (const std::bad_alloc&) {
            outcome.code = kOutOfMemory;
        }
        observePrepare(index, true);
        outcome.details = text.str();
        return outcome;
    }

    // Copies a bitmap ready whole out of the state that made it (into a spare buffer where
    // there is one), so it can be parked. Nothing is copied for a failure, for a picture
    // that is encoded in its turn, or for one larger than the budget.
    void copyOut(Outcome& outcome) {
        const PreparedBitmap& b = outcome.prepared.bitmap;
        if (outcome.code != kSuccess || outcome.prepared.result != PrepareResult::Ready ||
            b.size > kParkedBytes)
            return;
        std::vector<uint8_t> buffer;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (!spares_.empty()) {
                buffer = std::move(spares_.back());
                spares_.pop_back();
                spareBytes_ -= buffer.capacity();
            }
        }
        try {
            buffer.assign(b.data, b.data + b.size);
        } catch (const std::bad_alloc&) {
            return; // it waits for its turn instead
        }
        outcome.bytes = std::move(buffer);
        outcome.prepared.bitmap.data = outcome.bytes.data();
        outcome.copied = true;
    }

    // With the lock held: keeps `outcome` until its turn when that is allowed (a failure,
    // or a bitmap copied out whose bytes fit in the budget). False when its thread must
    // wait for the turn instead.
    bool park(size_t index, Outcome& outcome) {
        if (outcome.code == kSuccess &&
            (!outcome.copied || outcome.bytes.size() > kParkedBytes - parkedBytes_))
            return false;
        const size_t bytes = outcome.bytes.size();
        try {
            parked_.emplace(index, std::move(outcome));
        } catch (const std::bad_alloc&) {
            return false; // nothing was moved: it waits for its turn instead
        }
        parkedBytes_ += bytes;
        return true;
    }

    // With the lock held: keeps the buffer of an added source for the next copy.
    void recycle(Outcome& outcome) {
        if (!outcome.copied || spareBytes_ + outcome.bytes.capacity() > kSpareBytes) return;
        spareBytes_ += outcome.bytes.capacity();
        spares_.push_back(std::move(outcome.bytes));
    }

    // Adds source `index` in its turn (the caller holds the writer's role). False, with the
    // failure recorded and everyone stopped, when it failed here or before.
    bool add(size_t index, Outcome& outcome, CompileState& state) {
        int code = outcome.code;
        std::ostringstream text;
        if (code == kSuccess) {
            try {
                code = finishSource(request_, request_.sources[index], writer_, state,
                                    outcome.prepared, text);
            } catch (const std::bad_alloc&) {
                code = kOutOfMemory;
            }
        }
        if (code == kSuccess) return true;
        if (code == kOutOfMemory)
            text << "Not enough memory to compile " << request_.destination << "\n";
        std::lock_guard<std::mutex> guard(lock_);
        failure_ = code;
        failureDetails_ = outcome.details + text.str();
        stopped_ = true;
        return false;
    }

    const CompileRequest& request_;
    const C8Table* c8_;
    ArchiveWriter& writer_;
    std::atomic<size_t> next_{0}; // the next source to prepare
    std::atomic<size_t> turn_{0}; // the next source to add; changed with the lock held
    std::mutex lock_;             // guards what follows
    std::condition_variable turnChanged_;
    bool writing_ = false; // a thread is adding sources
    std::atomic<bool> stopped_{false};
    std::map<size_t, Outcome> parked_;
    size_t parkedBytes_ = 0;
    std::vector<std::vector<uint8_t>> spares_;
    size_t spareBytes_ = 0;
    int failure_ = kSuccess;
    std::string failureDetails_;
};

} // namespace

int addSourcesInParallel(const CompileRequest& request, const C8Table* c8, ArchiveWriter& writer,
                         std::ostream& details) {
    return OrderedAdder(request, c8, writer).run(details);
}

} // namespace bmconv
#endif
