// Shared parts of the converter benchmarks: the picture corpus, running bmconv.exe as its own
// process, and the floors a converter run is compared with (the same bytes read, written or
// copied by the plainest means, measured in the same benchmark run).
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace benchsupport {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/// The converter under test: bmconv.exe of this build, or the one BMCONV_EXE names (to
/// measure another build the same way).
inline std::string converterPath() {
    const char* other = std::getenv("BMCONV_EXE");
    return other && *other ? other : std::string(ZEMBREL_BIN_DIR) + "/bmconv.exe";
}

inline void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

/// A 24-bit BMP like a phone screen: gradients, a flat box, some noise. `noisy` makes every
/// pixel random (a photo that does not compress).
inline std::vector<uint8_t> makeBmp(std::mt19937& random, int width, int height,
                                    bool noisy = false) {
    const uint32_t stride = (3 * uint32_t(width) + 3) / 4 * 4;
    std::vector<uint8_t> bmp(54 + size_t(stride) * uint32_t(height), 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(bmp, 2, uint32_t(bmp.size()));
    put32(bmp, 10, 54);
    put32(bmp, 14, 40);
    put32(bmp, 18, uint32_t(width));
    put32(bmp, 22, uint32_t(height));
    bmp[26] = 1;
    bmp[28] = 24;
    put32(bmp, 38, 2835);
    put32(bmp, 42, 2835);
    const int tint = int(random() % 256);
    const int boxX = int(random() % uint32_t(width)), boxY = int(random() % uint32_t(height));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &bmp[54 + size_t(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            if (noisy) {
                const uint32_t r = uint32_t(random());
                row[3 * x] = uint8_t(r), row[3 * x + 1] = uint8_t(r >> 8);
                row[3 * x + 2] = uint8_t(r >> 16);
                continue;
            }
            const bool inBox = std::abs(x - boxX) < 30 && std::abs(y - boxY) < 40;
            const int noise = (random() % 8 == 0) ? int(random() % 32) : 0;
            row[3 * x] = uint8_t(inBox ? tint : (x + noise) & 0xFF);
            row[3 * x + 1] = uint8_t(inBox ? 255 - tint : (y + tint) & 0xFF);
            row[3 * x + 2] = uint8_t(inBox ? 40 : (x + y + noise) & 0xFF);
        }
    }
    return bmp;
}

inline void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct RunResult {
    int exitCode = -1;
    double seconds = 0;
    long maxRssKb = 0;
};

/// Runs the converter with `args` in folder `dir`, its console output sent to `log`. (The
/// child's peak memory includes this process's: see peakMemoryKb.)
inline RunResult runConverter(const fs::path& dir, const std::vector<std::string>& args,
                              const fs::path& log) {
    const std::string tool = converterPath();
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    RunResult result;
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return result;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid) return result;
    result.seconds = secondsSince(start);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.maxRssKb = usage.ru_maxrss;
    return result;
}

/// Peak memory of a converter run. A child's peak counts the memory of the process it was
/// started from, so the benchmark starts a fresh copy of itself that runs the converter:
/// call launchMain() first thing in main().
inline long peakMemoryKb(const fs::path& dir, const std::vector<std::string>& args,
                         const fs::path& log) {
    const fs::path result = dir / "peak.txt";
    std::vector<std::string> all{"--run-converter", dir.string(), log.string(), result.string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    argv.push_back(const_cast<char*>(self.c_str()));
    for (const std::string& a : all)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    long kb = -1;
    if (std::FILE* f = std::fopen(result.c_str(), "r")) {
        if (std::fscanf(f, "%ld", &kb) != 1) kb = -1;
        std::fclose(f);
    }
    fs::remove(result);
    return kb;
}

/// The launcher side of peakMemoryKb(): returns true (after running the converter) when this
/// process was started as the launcher.
inline bool launchMain(int argc, char** argv) {
    if (argc < 5 || std::string(argv[1]) != "--run-converter") return false;
    std::vector<std::string> args(argv + 5, argv + argc);
    const RunResult run = runConverter(argv[2], args, argv[3]);
    if (std::FILE* f = std::fopen(argv[4], "w")) {
        std::fprintf(f, "%ld\n", run.exitCode == 0 ? run.maxRssKb : -1);
        std::fclose(f);
    }
    return true;
}

/// Opens `path` for reading and gives its size (0 when it cannot be opened; the descriptor
/// is then negative).
inline int openWithSize(const fs::path& path, size_t& size) {
    const int fd = open(path.c_str(), O_RDONLY);
    struct stat st {};
    size = fd >= 0 && fstat(fd, &st) == 0 ? size_t(st.st_size) : 0;
    return fd;
}

/// Reads every file whole with read() into one buffer, as a plain program reads its input.
/// Returns the seconds taken.
inline double readFiles(const std::vector<fs::path>& files) {
    static std::vector<uint8_t> buffer;
    volatile uint8_t sink = 0;
    const auto start = Clock::now();
    for (const fs::path& f : files) {
        size_t size = 0;
        const int fd = openWithSize(f, size);
        buffer.resize(size);
        if (read(fd, buffer.data(), buffer.size()) < 0) sink = sink + 1;
        close(fd);
    }
    return secondsSince(start);
}

/// Reads every file whole by mapping it and loading each of its cache lines: no copy, the
/// cheapest way to have every byte pass the processor. Returns the seconds taken.
inline double mapFiles(const std::vector<fs::path>& files) {
    volatile uint8_t sink = 0;
    const auto start = Clock::now();
    for (const fs::path& f : files) {
        size_t size = 0;
        const int fd = openWithSize(f, size);
        void* p = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        close(fd);
        if (p == MAP_FAILED) continue;
        const uint8_t* bytes = static_cast<const uint8_t*>(p);
        uint8_t sum = 0;
        for (size_t i = 0; i < size; i += 64)
            sum = uint8_t(sum + bytes[i]);
        sink = sink + sum;
        munmap(p, size);
    }
    return secondsSince(start);
}

/// Writes `bytes` into the new file `path` with one call, as a converter writing its output
/// in one go would. Returns the seconds taken.
inline double writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    const auto start = Clock::now();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        if (write(fd, bytes.data(), bytes.size()) < 0) std::perror("write");
        close(fd);
    }
    return secondsSince(start);
}

/// Copies each file of `from` to the new file of the same index in `to` (mapped, then one
/// write). Returns the seconds taken.
inline double copyFiles(const std::vector<fs::path>& from, const std::vector<fs::path>& to) {
    const auto start = Clock::now();
    for (size_t i = 0; i < from.size(); ++i) {
        size_t size = 0;
        const int in = openWithSize(from[i], size);
        void* p = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, in, 0);
        close(in);
        const int out = open(to[i].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (p != MAP_FAILED && out >= 0 && write(out, p, size) < 0) std::perror("write");
        if (out >= 0) close(out);
        if (p != MAP_FAILED) munmap(p, size);
    }
    return secondsSince(start);
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline double best(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

/// A fresh folder under the system's temporary folder, removed with everything in it.
class BenchDir {
  public:
    explicit BenchDir(const std::string& name)
        : path_(fs::temp_directory_path() / (name + "-" + std::to_string(getpid()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~BenchDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

/// The phone-screen corpus: `count` pictures pic<i>.bmp of `width` x `height` in `dir`.
inline std::vector<fs::path> makeCorpus(const fs::path& dir, int count, int width, int height) {
    std::mt19937 random(2024);
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(dir / ("pic" + std::to_string(i) + ".bmp"));
        writeBytes(files.back(), makeBmp(random, width, height));
    }
    return files;
}

/// Six pictures large<i>.bmp of 3000 x 2000 in `dir`, every other one pure noise: memory
/// must not follow the pictures' size.
inline std::vector<fs::path> makeLargePictures(const fs::path& dir) {
    std::mt19937 random(7);
    std::vector<fs::path> files;
    for (int i = 0; i < 6; ++i) {
        files.push_back(dir / ("large" + std::to_string(i) + ".bmp"));
        writeBytes(files.back(), makeBmp(random, 3000, 2000, i % 2 == 0));
    }
    return files;
}

/// A command file compiling `pictures` (in the command file's folder) with switch /`mode`
/// into `archive`.
inline std::string commandFile(const std::string& mode, const std::string& archive,
                               const std::vector<fs::path>& pictures) {
    std::string text = archive + "\r\n";
    for (const fs::path& p : pictures)
        text += "/" + mode + p.filename().string() + "\r\n";
    return text;
}

inline const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

} // namespace benchsupport
