// Helpers for the side tools' window tests: a main window on a fresh program folder.
#pragma once
#include "support/gif_writer.h"
#include "support/test_support.h"
#include "ui/form1.h"

#include <QTest>
#include <memory>

namespace testing_support {

/// Saves `image` as a GIF file.
inline bool saveGif(const QImage& image, const QString& path) {
    return writeGif(path, image);
}

/// A main window on a program folder of its own (without bmconv.exe and batchrun, which
/// the side tools do not use), with scripted dialogs.
struct ToolsFixture : ::testing::Test {
    TempProgramFolder program{false, false};
    ScriptedInteraction ui;
    std::unique_ptr<Form1> main = std::make_unique<Form1>(program.folder(), ui);
    ToolsFixture() { withShortPauses(*main); }

    /// Secondary window n as its class, or null.
    template <typename W> W* form(int n) { return qobject_cast<W*>(main->form(n)); }
    /// Waits until secondary window n is gone (it unloads itself after closing).
    bool waitGone(int n) {
        return QTest::qWaitFor([&] { return main->form(n) == nullptr; }, 5000);
    }
};

} // namespace testing_support
