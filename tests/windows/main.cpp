// Test main of the Windows side under wine. Where wine or the cross-compiled programs are
// missing, every test is skipped with a message saying what to install (exit code 77).
#include "windows/wine_support.h"

#include <QDir>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // The build's own prefix, whose server the WineStart and WineStop tests start and end
    // (a prefix of the user's would keep a server of its own running after the suite), no
    // debug output, no Mono or Gecko installers, no menu entries or file associations in the
    // user's home and no window on the user's display: wine runs console programs only here.
    qputenv("WINEPREFIX", ZEMBREL_WINEPREFIX);
    // The temporary folder of wine-server.sh, where wine finds the server it started. This
    // suite's scratch folders go there too.
    QDir().mkpath(QStringLiteral(ZEMBREL_WINEPREFIX "-tmp"));
    qputenv("TMPDIR", ZEMBREL_WINEPREFIX "-tmp");
    qputenv("WINEDEBUG", "-all");
    qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d");
    qunsetenv("DISPLAY");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!::testing::GTEST_FLAG(list_tests)) {
        const QString missing = wine_support::missingPrerequisite();
        if (!missing.isEmpty()) {
            std::printf("The Windows tests are skipped: %s.\n", qPrintable(missing));
            return 77;
        }
    }
    return RUN_ALL_TESTS();
}
