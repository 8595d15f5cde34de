// Replays inputs through a fuzz target's entry point without libFuzzer: every file named,
// and every file in every folder named (not descending further; a folder that does not
// exist holds nothing), is fed once, so the seeds and every kept crash are checked with each
// test run. A crash ends the program as it
// would end the fuzzer; otherwise it prints how many inputs ran.
//   fuzz_<target>_replay <file or folder> ...
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

// The fuzzer never sees more than its -max_len; larger seeds are cut like that.
constexpr size_t kMaxLen = 65536;

// Replays one input and counts it. An input that cannot be read fails the replay: a kept
// crash must not pass unseen.
bool replay(const fs::path& file, size_t& count) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (bytes.size() > kMaxLen) bytes.resize(kMaxLen);
    // Printed first, so a crash names its input.
    std::fprintf(stderr, "%s\n", file.string().c_str());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++count;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    size_t count = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        std::error_code error;
        if (fs::is_directory(arg, error)) {
            std::vector<fs::path> files;
            for (const auto& entry : fs::directory_iterator(arg))
                if (entry.is_regular_file() && entry.path().filename() != "README.md")
                    files.push_back(entry.path());
            for (const fs::path& f : files)
                ok = replay(f, count) && ok;
        } else if (fs::is_regular_file(arg, error)) {
            ok = replay(arg, count) && ok;
        } else if (!fs::exists(arg, error)) {
            // A target without kept crashes has no folder (git keeps no empty folders).
            std::fprintf(stderr, "%s does not exist: nothing to replay there\n", argv[i]);
        } else {
            std::fprintf(stderr, "%s is neither a file nor a folder\n", argv[i]);
            ok = false;
        }
    }
    std::printf("%zu inputs replayed without a crash\n", count);
    return ok ? 0 : 1;
}
