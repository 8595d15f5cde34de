// Shared helpers of the batchrun tests: temporary folders, file bytes, and a
// launcher that records program starts instead of running them.
#pragma once

#include "program_launcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace batchrun::test {

namespace fs = std::filesystem;

/// A fresh folder under /tmp, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "batchrun-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = fs::canonical(pattern);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

    /// The names in the folder (folders end in '/'), sorted.
    std::set<std::string> names() const {
        std::set<std::string> r;
        for (const auto& e : fs::directory_iterator(path_))
            r.insert(e.path().filename().string() + (e.is_directory() ? "/" : ""));
        return r;
    }

  private:
    fs::path path_;
};

inline void writeBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Writes an executable file (e.g. a shell script with a shebang line).
inline void writeProgram(const fs::path& p, const std::string& text) {
    writeBytes(p, text);
    fs::permissions(p, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

/// Records every start and answers with `outcome`.
class RecordingLauncher : public ProgramLauncher {
  public:
    RunOutcome run(const ProgramStart& start) override {
        starts.push_back(start);
        return outcome;
    }
    std::vector<ProgramStart> starts;
    RunOutcome outcome{true, 0, 0, ""};
};

} // namespace batchrun::test
