// Benchmark of the converter's reading side: listing (/v) and splitting (/u, from a command
// file as the editor writes it) an archive of 500 pictures of 176 x 208, at /c16 and /c8.
// The archives are compiled by bmconv.exe itself from generated 24-bit BMP files.
//   bench_bmconv_read [runs per measurement, default 5]
// Prints the wall time (best and median of the runs) and the peak memory of each run kind.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kPictures = 500;
constexpr int kWidth = 176, kHeight = 208;

struct RunResult {
    int exitCode = -1;
    double seconds = 0;
    double cpuSeconds = 0; // user + system: what the run costs on a machine to itself
    long maxRssKb = 0;
};

// Runs bmconv.exe with `args` in folder `dir`, its output sent to `log`.
RunResult runTool(const fs::path& dir, const std::vector<std::string>& args, const fs::path& log) {
    const std::string tool = std::string(ZEMBREL_BIN_DIR) + "/bmconv.exe";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(tool.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || dup2(fd, 1) < 0 || chdir(dir.c_str()) != 0) _exit(127);
        execv(tool.c_str(), argv.data());
        _exit(127);
    }
    RunResult result;
    if (pid < 0) return result;
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.maxRssKb = usage.ru_maxrss;
    result.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return result;
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// A picture like a phone screen: gradients, a few flat boxes, some noise.
std::vector<uint8_t> makeBmp(std::mt19937& random) {
    const uint32_t stride = (3 * kWidth + 3) / 4 * 4;
    std::vector<uint8_t> bmp(54 + stride * kHeight, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(bmp, 2, uint32_t(bmp.size()));
    put32(bmp, 10, 54);
    put32(bmp, 14, 40);
    put32(bmp, 18, kWidth);
    put32(bmp, 22, kHeight);
    bmp[26] = 1;
    bmp[28] = 24;
    put32(bmp, 38, 2835);
    put32(bmp, 42, 2835);
    const int tint = int(random() % 256);
    const int boxX = int(random() % kWidth), boxY = int(random() % kHeight);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = &bmp[54 + size_t(kHeight - 1 - y) * stride];
        for (int x = 0; x < kWidth; ++x) {
            const bool inBox = std::abs(x - boxX) < 30 && std::abs(y - boxY) < 40;
            const int noise = (random() % 8 == 0) ? int(random() % 32) : 0;
            row[3 * x] = uint8_t(inBox ? tint : (x + noise) & 0xFF);
            row[3 * x + 1] = uint8_t(inBox ? 255 - tint : (y + tint) & 0xFF);
            row[3 * x + 2] = uint8_t(inBox ? 40 : (x + y + noise) & 0xFF);
        }
    }
    return bmp;
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct Summary {
    double best = 0, median = 0, bestCpu = 0;
    long maxRssKb = 0;
    bool ok = true;
};

template <class Prepare>
Summary measure(int runs, const fs::path& dir, const std::vector<std::string>& args,
                Prepare prepare) {
    std::vector<double> times, cpu;
    Summary s;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const RunResult r = runTool(dir, args, dir / "run.log");
        s.ok = s.ok && r.exitCode == 0;
        times.push_back(r.seconds);
        cpu.push_back(r.cpuSeconds);
        s.maxRssKb = std::max(s.maxRssKb, r.maxRssKb);
    }
    std::sort(times.begin(), times.end());
    s.best = times.front();
    s.median = times[times.size() / 2];
    s.bestCpu = *std::min_element(cpu.begin(), cpu.end());
    return s;
}

void print(const std::string& what, const Summary& s) {
    std::printf(
        "%-16s wall best %6.3f s, median %6.3f s; cpu best %6.3f s; peak memory %5.1f MB %s\n",
        what.c_str(), s.best, s.median, s.bestCpu, s.maxRssKb / 1024.0, s.ok ? "" : "FAILED");
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path dir =
        fs::temp_directory_path() / ("bench-bmconv-read-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::mt19937 random(2024);
    for (int i = 0; i < kPictures; ++i) {
        const std::vector<uint8_t> bmp = makeBmp(random);
        std::ofstream(dir / ("pic" + std::to_string(i) + ".bmp"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
    }
    int status = 0;
    for (const char* mode : {"c16", "c8"}) {
        const std::string archive = std::string("bench_") + mode + ".mbm";
        std::string build = archive + "\r\n";
        for (int i = 0; i < kPictures; ++i)
            build += std::string("/") + mode + "pic" + std::to_string(i) + ".bmp\r\n";
        writeText(dir / "build.txt", build);
        const RunResult compiled = runTool(dir, {"build.txt"}, dir / "build.log");
        if (compiled.exitCode != 0) {
            std::fprintf(stderr, "bmconv.exe could not compile %s (exit %d); see %s\n",
                         archive.c_str(), compiled.exitCode, (dir / "build.log").c_str());
            return 1;
        }
        std::string extract = "/u " + archive + "\r\n";
        for (int i = 0; i < kPictures; ++i)
            extract += "image_" + std::to_string(i) + ".bmp\r\n";
        writeText(dir / "extract.txt", extract);
        std::printf("%s: %d pictures of %d x %d, archive %.1f MB (compiled in %.3f s)\n", mode,
                    kPictures, kWidth, kHeight, fs::file_size(dir / archive) / 1048576.0,
                    compiled.seconds);
        const Summary listing = measure(runs, dir, {"/v", archive}, [] {});
        const Summary splitting = measure(runs, dir, {"extract.txt"}, [&] {
            for (int i = 0; i < kPictures; ++i)
                fs::remove(dir / ("image_" + std::to_string(i) + ".bmp"));
        });
        const bool complete = fs::exists(dir / ("image_" + std::to_string(kPictures - 1) + ".bmp"));
        print(std::string("  list  /v ") + mode, listing);
        print(std::string("  split /u ") + mode, splitting);
        if (!listing.ok || !splitting.ok || !complete) status = 1;
    }
    fs::remove_all(dir);
    return status;
}
