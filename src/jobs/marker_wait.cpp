#include "jobs/marker_wait.h"

#include "jobs/file_exists.h"

#include <QElapsedTimer>

WaitResult waitUntil(const std::function<bool()>& done, const BatchProcess& batch,
                     const WaitOptions& options) {
    QElapsedTimer clock;
    clock.start();
    auto pause = [&] {
        if (options.beforePause) options.beforePause();
        platform::sleepMs(options.pauseMs);
    };
    pause();
    for (;;) {
        pause();
        // Read the process state before the test, so a batch that ends right after a failed
        // test still gets one more test below.
        const bool running = platform::isRunning(batch);
        if (done()) return WaitResult::Done;
        if (!running) return done() ? WaitResult::Done : WaitResult::BatchEnded;
        if (clock.elapsed() >= options.ceilingMs) return WaitResult::TimedOut;
    }
}

WaitResult waitForFile(const QString& path, const BatchProcess& batch, const WaitOptions& options) {
    return waitUntil([&] { return FileExists(path); }, batch, options);
}

WaitResult waitForRemoval(const QString& path, const BatchProcess& batch,
                          const WaitOptions& options) {
    return waitUntil([&] { return !FileExists(path); }, batch, options);
}
