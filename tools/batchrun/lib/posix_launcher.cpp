// Program start on POSIX systems: fork, change folder, redirect, execv. No shell
// is involved, so the arguments reach the program byte for byte.
#include "program_launcher.h"

#include "batch_runner.h"

#ifndef _WIN32

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace batchrun {
namespace {

// What the child reports through the pipe when it cannot reach execv's success.
struct ChildFailure {
    int step; // 0 change folder, 1 redirect, 2 start
    int error;
};

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_;
};

std::string errorText(int error) {
    return std::strerror(error);
}

bool openRedirect(const std::optional<Redirect>& r, Fd& fd, std::string& message) {
    if (!r) return true;
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (r->append ? O_APPEND : O_TRUNC);
    fd.reset(::open(r->path.c_str(), flags, 0666));
    if (fd.get() < 0) {
        message = "cannot create the output file " + r->path + ": " + errorText(errno);
        return false;
    }
    return true;
}

// Runs in the child between fork and execv: only async-signal-safe calls.
[[noreturn]] void childRun(const ProgramStart& s, char* const* argv, int outFd, int errFd,
                           int reportFd) {
    ChildFailure f{0, 0};
    if (::chdir(s.folder.c_str()) != 0) {
        f = {0, errno};
    } else if ((outFd >= 0 && ::dup2(outFd, STDOUT_FILENO) < 0) ||
               (errFd >= 0 && ::dup2(errFd, STDERR_FILENO) < 0)) {
        f = {1, errno};
    } else {
        ::execv(s.program.c_str(), argv);
        f = {2, errno};
    }
    ssize_t ignored = ::write(reportFd, &f, sizeof f);
    (void)ignored;
    ::_exit(127);
}

// Fills exitCode/signal; false when the child could not be waited for.
bool waitFor(pid_t pid, RunOutcome& r) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    if (WIFEXITED(status))
        r.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        r.signal = WTERMSIG(status);
    return true;
}

class PosixLauncher : public ProgramLauncher {
  public:
    RunOutcome run(const ProgramStart& s) override {
        RunOutcome r;
        Fd outFd, errFd;
        if (!openRedirect(s.out, outFd, r.message) || !openRedirect(s.err, errFd, r.message))
            return r;

        // Everything the child needs is prepared before fork.
        std::vector<char*> argv;
        argv.reserve(s.args.size() + 2);
        argv.push_back(const_cast<char*>(s.program.c_str()));
        for (const std::string& a : s.args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);

        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            r.message = "cannot start " + s.program + ": " + errorText(errno);
            return r;
        }
        Fd readEnd(pipeFds[0]), writeEnd(pipeFds[1]);

        pid_t pid = ::fork();
        if (pid < 0) {
            r.message = "cannot start " + s.program + ": " + errorText(errno);
            return r;
        }
        if (pid == 0) childRun(s, argv.data(), outFd.get(), errFd.get(), writeEnd.get());

        writeEnd.reset();
        ChildFailure f{};
        ssize_t got;
        do {
            got = ::read(readEnd.get(), &f, sizeof f);
        } while (got < 0 && errno == EINTR);
        bool waited = waitFor(pid, r);
        if (got == static_cast<ssize_t>(sizeof f)) {
            if (f.step == 0)
                r.message = "cannot enter the folder " + s.folder + ": " + errorText(f.error);
            else if (f.step == 1)
                r.message =
                    "cannot redirect the output of " + s.program + ": " + errorText(f.error);
            else
                r.message = "cannot start " + s.program + ": " + errorText(f.error);
            return r;
        }
        r.started = true;
        if (!waited)
            r.message = "lost track of " + s.program + " while waiting for it";
        else if (r.signal != 0)
            r.message = s.program + " was ended by " + signalText(r.signal);
        else if (r.exitCode != 0)
            r.message = s.program + " ended with exit code " + std::to_string(r.exitCode);
        return r;
    }
};

} // namespace

std::unique_ptr<ProgramLauncher> makeSystemLauncher() {
    return std::make_unique<PosixLauncher>();
}

} // namespace batchrun

#else // _WIN32: the Windows build runs its batches through cmd.exe instead.

namespace batchrun {
namespace {
class UnavailableLauncher : public ProgramLauncher {
  public:
    RunOutcome run(const ProgramStart& s) override {
        return RunOutcome{false, 0, 0, "cannot start " + s.program + ": use cmd.exe on Windows"};
    }
};
} // namespace
std::unique_ptr<ProgramLauncher> makeSystemLauncher() {
    return std::make_unique<UnavailableLauncher>();
}
} // namespace batchrun

#endif
