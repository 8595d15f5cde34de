// Benchmark: bmconv.exe compiling 500 pictures of 176 x 208 (24-bit sources) at /c16 and
// /c8 from a command file. Prints wall time and peak memory of the converter process.
// Target: half the SDK converter's ~0.8 s or less, under 64 MB.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kPictures = 500;
constexpr int kWidth = 176;
constexpr int kHeight = 208;
constexpr int kRuns = 3;

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

/// A phone-screen picture: a gradient, a flat panel and a noisy band, different per seed.
std::vector<uint8_t> makePicture(uint32_t seed) {
    const uint32_t row = (kWidth * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b = {'B', 'M'};
    put32(b, 54 + row * kHeight);
    put32(b, 0);
    put32(b, 54);
    for (uint32_t v : {40u, uint32_t(kWidth), uint32_t(kHeight)})
        put32(b, v);
    put16(b, 1);
    put16(b, 24);
    for (uint32_t v : {0u, row * kHeight, 2835u, 2835u, 0u, 0u})
        put32(b, v);
    uint32_t noise = seed * 2654435761u + 1;
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            uint8_t r = uint8_t(x + seed), g = uint8_t(y * 2), bl = uint8_t(seed * 7);
            if (y > 60 && y < 140 && x > 20 && x < 150) r = g = bl = 240; // flat panel
            if (y > 150 && y < 180) {
                noise = noise * 1103515245u + 12345u;
                r = uint8_t(noise >> 16), g = uint8_t(noise >> 20), bl = uint8_t(noise >> 24);
            }
            b.push_back(bl);
            b.push_back(g);
            b.push_back(r);
        }
        b.resize(b.size() + row - kWidth * 3, 0);
    }
    return b;
}

struct RunResult {
    bool ok = false;
    double seconds = 0;
    double cpuSeconds = 0; // user + system: less disturbed by a busy machine than wall time
    long maxRssKb = 0;
};

/// Runs bmconv.exe on `commandFile` in `folder`, timing it and reading its peak memory.
RunResult runConverter(const fs::path& folder, const std::string& commandFile) {
    const std::string exe = std::string(ZEMBREL_BIN_DIR) + "/bmconv.exe";
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout); // the child must not repeat buffered output
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0 || !freopen("/dev/null", "w", stdout)) _exit(126);
        execl(exe.c_str(), exe.c_str(), commandFile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0) return result;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid) return result;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.maxRssKb = usage.ru_maxrss;
    result.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

} // namespace

int main() {
    char pattern[] = "/tmp/bench-bmconv-compile-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    for (int i = 0; i < kPictures; ++i) {
        const std::vector<uint8_t> picture = makePicture(uint32_t(i));
        std::ofstream(folder / ("p" + std::to_string(i) + ".bmp"), std::ios::binary)
            .write(reinterpret_cast<const char*>(picture.data()), std::streamsize(picture.size()));
    }
    std::printf("bmconv compile: %d pictures of %d x %d, 24-bit sources, best of %d runs\n",
                kPictures, kWidth, kHeight, kRuns);
    int failures = 0;
    for (const char* mode : {"c16", "c8"}) {
        const std::string commandFile = std::string("compile_") + mode + ".txt";
        std::ofstream cmd(folder / commandFile, std::ios::binary);
        cmd << "bench_" << mode << ".mbm\r\n";
        for (int i = 0; i < kPictures; ++i)
            cmd << "/" << mode << "p" << i << ".bmp\r\n";
        cmd.close();
        RunResult best;
        for (int run = 0; run < kRuns; ++run) {
            const RunResult r = runConverter(folder, commandFile);
            if (!r.ok) {
                ++failures;
                continue;
            }
            if (!best.ok || r.seconds < best.seconds) best = r;
        }
        if (!best.ok) {
            std::printf("  /%-4s FAILED\n", mode);
            continue;
        }
        const auto size = fs::file_size(folder / ("bench_" + std::string(mode) + ".mbm"));
        std::printf("  /%-4s wall %.3f s   cpu %.3f s   peak memory %.1f MB   archive %.1f MB"
                    "   (target <= 0.4 s, < 64 MB)\n",
                    mode, best.seconds, best.cpuSeconds, best.maxRssKb / 1024.0,
                    double(size) / (1024 * 1024));
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return failures == 0 ? 0 : 1;
}
