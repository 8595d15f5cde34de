// Short pauses for every test that waits for a batch. The program pauses 100 ms between
// tests of the file system; a test that waited like that for each of its batches would
// spend most of its time asleep. One test (WaitTest.RealPausesPutTheFirstTestAt200Ms)
// keeps the program's own timing.
#pragma once
#include "jobs/marker_wait.h"
#include "jobs/work_folders.h"

namespace testing_support {

/// Pauses of 5 ms and a ceiling of a minute: a batch of a test ends long before that, and a
/// test whose batch hangs fails instead of waiting for ten minutes.
inline WaitOptions shortPauses() {
    WaitOptions options;
    options.pauseMs = 5;
    options.ceilingMs = 60 * 1000;
    return options;
}

/// The work folders of `pf` with short pauses.
inline WorkFolders quickWorkFolders(const ProgramFolder& pf) {
    return WorkFolders(pf, shortPauses());
}

/// Gives the waits of a window that owns work folders (the main window) short pauses and
/// returns it.
template <typename Window> Window& withShortPauses(Window& window) {
    window.workFolders().setWaitOptions(shortPauses());
    return window;
}

} // namespace testing_support
