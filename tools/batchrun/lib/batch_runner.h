// Runs the lines of a batch in order, the way the Windows command interpreter
// runs the lines the editor writes: a failing line is reported and the next
// line runs.
#pragma once

#include "batch_command.h"
#include "program_launcher.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace batchrun {

/// When a program line whose standard output goes into a file fails, one last line is
/// appended to that file: the prefix, the kind of failure, ": " and a sentence saying what
/// happened, then CR LF. Kinds: "start" (it could not be started), "signal" (a signal ended
/// it), "exit" (it ended with a non-zero exit code). For example
/// "batchrun: signal: bmconv.exe was ended by signal 11 (Segmentation fault)". So whoever
/// reads the output can tell a crash from the program's own answer.
inline constexpr const char* kFailureRecordPrefix = "batchrun: ";
inline constexpr const char* kFailedStart = "start";
inline constexpr const char* kFailedSignal = "signal";
inline constexpr const char* kFailedExit = "exit";

/// "signal 11 (Segmentation fault)": the number and, where the system knows it, its name.
std::string signalText(int signal);

/// Interprets batch lines against the file system. Not thread-safe; one per batch.
class BatchRunner {
  public:
    /// `launcher` starts programs; `startFolder` (absolute) is the current folder
    /// until a cd line changes it; failures go to `report` as
    /// "batchrun: <batchName> line N: ..."; echo without redirection and a bare
    /// "cd" write to `console`. All references must outlive the runner.
    BatchRunner(ProgramLauncher& launcher, std::string startFolder, std::ostream& report,
                std::ostream& console, std::string batchName);

    /// Runs one line (numbered from 1, for the report). Returns false when the
    /// line failed or was skipped with a report; never throws.
    bool runLine(std::string_view line, size_t number);

    /// Runs every line in order, never stopping early. Returns the number of
    /// lines that failed.
    size_t runAll(const std::vector<std::string>& lines);

    /// The current folder (absolute).
    const std::string& folder() const { return folder_; }

  private:
    bool run(const Command& c, size_t number);
    bool echo(const Command& c);
    bool changeDir(const Command& c, size_t number);
    bool deleteFiles(const Command& c);
    bool runProgram(const Command& c);
    void recordFailure(const Command& c, const char* kind, const std::string& text);
    bool fail(const std::string& message);
    std::string resolve(const std::string& name) const;

    ProgramLauncher& launcher_;
    std::string folder_;
    std::ostream& report_;
    std::ostream& console_;
    std::string batchName_;
    size_t lineNumber_ = 0;
    size_t failedCdLine_ = 0; ///< the cd line that failed last; 0 when the folder is sound
};

} // namespace batchrun
