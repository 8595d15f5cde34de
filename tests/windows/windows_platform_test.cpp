// The platform layer's Windows calls, cross-compiled and run under wine.
#include "windows/wine_support.h"

using namespace wine_support;

namespace {

TEST(WindowsPlatform, HiddenBatchStartsRunsAndEnds) {
    QTemporaryDir work;
    const WineRun run = runWine(
        {windowsProgram(QStringLiteral("platform_api_test.exe")), winePath(work.filePath("run"))},
        work.path());
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("0 failed checks")) << run.output.toStdString();
}

} // namespace
