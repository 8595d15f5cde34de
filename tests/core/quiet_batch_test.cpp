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

/// Sends this process's standard output and error into a file while it lives.
class CapturedTerminal {
  public:
    explicit CapturedTerminal(const QString& path) {
        std::fflush(stdout);
        std::fflush(stderr);
        const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        m_out = ::dup(1);
        m_err = ::dup(2);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~CapturedTerminal() {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(m_out, 1);
        ::dup2(m_err, 2);
        ::close(m_out);
        ::close(m_err);
    }

  private:
    int m_out = -1;
    int m_err = -1;
};

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
    const QString log = pf.file("terminal.txt");
    BatchProcess batch;
    WaitResult waited;
    {
        CapturedTerminal capture(log);
        batch = platform::startBatchHidden(pf.folder(), bat);
        waited = waitForFile(pf.file("temp/end.log"), batch, shortPauses());
        waitUntil([&] { return !platform::isRunning(batch); }, batch, shortPauses());
    }
    ASSERT_TRUE(batch.started()) << batch.error.toStdString();
    EXPECT_EQ(waited, WaitResult::Done);
    EXPECT_EQ(readAll(log), QByteArray());
}

} // namespace
