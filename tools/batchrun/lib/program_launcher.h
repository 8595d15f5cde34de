// Starting a program and waiting for it: the one place that differs between
// operating systems, kept behind an interface so tests can record the starts.
#pragma once

#include "batch_command.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace batchrun {

/// Everything needed to start one program of a batch line.
struct ProgramStart {
    std::string program;           ///< full path of the program file (already found)
    std::vector<std::string> args; ///< arguments, without the program name
    std::string folder;            ///< the folder it runs in (absolute)
    std::optional<Redirect> out;   ///< standard output into this file (absolute path)
    std::optional<Redirect> err;   ///< standard error into this file (absolute path)
};

/// How a program run ended.
struct RunOutcome {
    bool started = false; ///< false: it could not be started; `message` says why
    int exitCode = 0;     ///< exit status once it has ended normally
    int signal = 0;       ///< the signal that ended it, 0 when it ended normally
    std::string message;  ///< for the report when !started or exitCode != 0
};

/// Starts a program and waits until it has ended. Implementations must not hand
/// anything to a shell: the arguments reach the program exactly as given.
class ProgramLauncher {
  public:
    virtual ~ProgramLauncher() = default;
    /// Runs the program to its end. Never throws; a redirection file that cannot
    /// be created or a program that cannot be started yields started == false.
    virtual RunOutcome run(const ProgramStart& start) = 0;
};

/// The launcher of this operating system.
std::unique_ptr<ProgramLauncher> makeSystemLauncher();

} // namespace batchrun
