#include "batch_runner.h"

#include "file_actions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace batchrun {

std::string signalText(int signal) {
    std::string text = "signal " + std::to_string(signal);
#ifndef _WIN32
    if (const char* name = ::strsignal(signal)) text += std::string(" (") + name + ")";
#endif
    return text;
}

BatchRunner::BatchRunner(ProgramLauncher& launcher, std::string startFolder, std::ostream& report,
                         std::ostream& console, std::string batchName)
    : launcher_(launcher), folder_(std::move(startFolder)), report_(report), console_(console),
      batchName_(std::move(batchName)) {}

size_t BatchRunner::runAll(const std::vector<std::string>& lines) {
    size_t failed = 0;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!runLine(lines[i], i + 1)) ++failed;
    return failed;
}

bool BatchRunner::runLine(std::string_view line, size_t number) {
    lineNumber_ = number;
    try {
        return run(parseLine(line), number);
    } catch (const std::exception& e) {
        return fail(std::string("internal failure: ") + e.what());
    }
}

bool BatchRunner::fail(const std::string& message) {
    report_ << "batchrun: " << batchName_ << " line " << lineNumber_ << ": " << message
            << std::endl;
    return false;
}

std::string BatchRunner::resolve(const std::string& name) const {
    return (fs::path(folder_) / name).string();
}

bool BatchRunner::run(const Command& c, size_t number) {
    // After a failed cd the Windows interpreter goes on in the old folder, where
    // "del *.exe" and the like would destroy files that are not work files.
    // Lines that touch files are therefore skipped until a cd succeeds.
    const bool touchesFiles = c.kind == CommandKind::Delete || c.kind == CommandKind::Run ||
                              (c.kind == CommandKind::Echo && c.out);
    if (touchesFiles && failedCdLine_ != 0)
        return fail("skipped, because the folder change on line " + std::to_string(failedCdLine_) +
                    " failed and this line would act on the wrong folder");

    switch (c.kind) {
    case CommandKind::Nothing:
    case CommandKind::EchoSwitch:
        return true;
    case CommandKind::Echo:
        return echo(c);
    case CommandKind::ChangeDir:
        return changeDir(c, number);
    case CommandKind::Delete:
        return deleteFiles(c);
    case CommandKind::Run:
        return runProgram(c);
    case CommandKind::Unknown:
        return fail("unknown line, skipped: " + c.text);
    case CommandKind::Invalid:
        return fail("line skipped: " + c.text);
    }
    return fail("line skipped");
}

// The text goes out byte for byte and gets CR LF, as the Windows interpreter
// writes it; the blank before '>' is part of the text (see parseLine).
bool BatchRunner::echo(const Command& c) {
    if (!c.out) {
        console_ << c.text << "\r\n" << std::flush;
        return true;
    }
    const std::string path = resolve(c.out->path);
    std::FILE* f = std::fopen(path.c_str(), c.out->append ? "ab" : "wb");
    if (!f) return fail("cannot write " + path + ": " + std::strerror(errno));
    const std::string bytes = c.text + "\r\n";
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int error = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) return fail("cannot write " + path + ": " + std::strerror(error));
    return true;
}

bool BatchRunner::changeDir(const Command& c, size_t number) {
    if (c.text.empty()) {
        console_ << folder_ << "\r\n" << std::flush;
        return true;
    }
    std::vector<std::string> tries{c.text};
    // Batches written for Windows separate folders with '\'; try '/' as well.
    if (c.text.find('\\') != std::string::npos) {
        std::string slashed = c.text;
        for (char& ch : slashed)
            if (ch == '\\') ch = '/';
        tries.push_back(slashed);
    }
    for (const std::string& t : tries) {
        std::error_code ec;
        fs::path p = fs::path(folder_) / t;
        if (!fs::is_directory(p, ec)) continue;
        fs::path real = fs::canonical(p, ec);
        folder_ = ec ? p.lexically_normal().string() : real.string();
        failedCdLine_ = 0;
        return true;
    }
    failedCdLine_ = number;
    return fail("cannot change to the folder " + c.text +
                ": no such folder; the lines that act on files are skipped until a cd succeeds");
}

bool BatchRunner::deleteFiles(const Command& c) {
    DeleteResult r = batchrun::deleteFiles(folder_, c.text);
    for (const std::string& p : r.problems)
        fail(p);
    return r.problems.empty();
}

bool BatchRunner::runProgram(const Command& c) {
    auto program = findProgram(folder_, c.text);
    if (!program) {
        const std::string why = "'" + c.text + "' is not a program in " + folder_;
        recordFailure(c, kFailedStart, c.text + " could not be started: no such program");
        return fail(why + " (line skipped)");
    }
    ProgramStart s;
    s.program = program->string();
    s.args = c.args;
    s.folder = folder_;
    if (c.out) s.out = Redirect{resolve(c.out->path), c.out->append};
    if (c.err) s.err = Redirect{resolve(c.err->path), c.err->append};
    RunOutcome r = launcher_.run(s);
    const std::string name = program->filename().string();
    if (!r.started)
        recordFailure(c, kFailedStart, r.message);
    else if (r.signal != 0)
        recordFailure(c, kFailedSignal, name + " was ended by " + signalText(r.signal));
    else if (r.exitCode != 0)
        recordFailure(c, kFailedExit, name + " ended with exit code " + std::to_string(r.exitCode));
    if (!r.message.empty()) return fail(r.message);
    return r.started;
}

void BatchRunner::recordFailure(const Command& c, const char* kind, const std::string& text) {
    if (!c.out) return;
    const std::string path = resolve(c.out->path);
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) {
        fail("cannot record the failure in " + path + ": " + std::strerror(errno));
        return;
    }
    const std::string line = std::string(kFailureRecordPrefix) + kind + ": " + text + "\r\n";
    const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    if (std::fclose(f) != 0 || !ok) fail("cannot record the failure in " + path);
}

} // namespace batchrun
