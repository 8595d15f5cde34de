// A hidden batch prints nothing where the editor runs: its console lines, what the programs
// it starts print and the interpreter's reports of failed lines go nowhere, as a hidden
// batch's console on Windows.
#include "jobs/marker_wait.h"
#include "jobs/platform.h"
#include "jobs/text_file.h"
#include "support/short_pauses.h"
#include "support/test_support.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace testing_support;

namespace {

TEST(QuietBatchTest, NothingReachesTheEditorsTerminal) {
    TempProgramFolder pf;
    QDir(pf.path()).mkdir("temp");
    ASSERT_TRUE(QFile::copy(pf.file("bmconv.exe"), pf.file("temp/bmconv.exe")));
    const QString bat = pf.file("temp/job.bat");
    // A console line, a program that prints its usage, and three lines batchrun reports.
    ASSERT_TRUE(
        writeLines(bat, {"cd \"" + pf.file("temp") + "\"", "echo to the console", "bmconv.exe",
                         "nothere", "del missing.txt", "/t", "echo \"Done\" > end.log"})
            .ok);
    // This process's standard output and error go into a file while the batch runs.
    const QString log = pf.file("terminal.txt");
    std::fflush(nullptr);
    const int out = ::dup(1), err = ::dup(2);
    const int fd = ::open(log.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    const BatchProcess batch = platform::startBatchHidden(pf.folder(), bat);
    const WaitResult waited = waitForFile(pf.file("temp/end.log"), batch, shortPauses());
    waitUntil([&] { return !platform::isRunning(batch); }, batch, shortPauses());
    std::fflush(nullptr);
    ::dup2(out, 1);
    ::dup2(err, 2);
    for (int f : {fd, out, err})
        ::close(f);

    ASSERT_TRUE(batch.started()) << batch.error.toStdString();
    EXPECT_EQ(waited, WaitResult::Done);
    EXPECT_EQ(readAll(log).toStdString(), "");
}

} // namespace
