// Benchmark: bmconv.exe compiling 500 pictures of 176 x 208 (24-bit sources) at /c16 and
// /c8 from a command file, against a floor measured in the same run: reading the 500
// pictures and writing the archive's bytes into a new file. Then the peak memory of a
// compile of a few large pictures.
//   bench_bmconv_compile [runs per measurement, default 7]
// Goals: /c16 at most 2.5 x its floor and 0.10 s; peak memory below 64 MB.
#include "bmconv_bench.h"

using namespace benchsupport;

namespace {

constexpr int kPictures = 500, kWidth = 176, kHeight = 208;

} // namespace

int main(int argc, char** argv) {
    if (launchMain(argc, argv)) return 0;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    BenchDir dir("bench-bmconv-compile");
    const std::vector<fs::path> pictures = makeCorpus(dir.path(), kPictures, kWidth, kHeight);
    uint64_t sourceBytes = 0;
    for (const fs::path& p : pictures)
        sourceBytes += fs::file_size(p);
    std::printf(
        "bmconv compile: %d pictures of %d x %d (24-bit, %.1f MB), median (and best) of %d runs\n",
        kPictures, kWidth, kHeight, sourceBytes / 1e6, runs);
    int failures = 0;
    for (const std::string mode : {"c16", "c8"}) {
        const std::string archive = "bench_" + mode + ".mbm", command = "compile_" + mode + ".txt";
        writeText(dir.path() / command, commandFile(mode, archive, pictures));
        if (runConverter(dir.path(), {command}, dir.path() / "run.log").exitCode != 0) {
            std::printf("  /%-4s FAILED (see %s)\n", mode.c_str(),
                        (dir.path() / "run.log").c_str());
            ++failures;
            continue;
        }
        std::ifstream in(dir.path() / archive, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        std::vector<double> times, floors, mapped;
        for (int r = 0; r < runs; ++r) {
            const double write = writeFile(dir.path() / "floor.out", bytes);
            fs::remove(dir.path() / "floor.out");
            floors.push_back(readFiles(pictures) + write);
            mapped.push_back(mapFiles(pictures) + write);
            // Both write a new file: replacing one costs the file system more.
            fs::remove(dir.path() / archive);
            const RunResult run = runConverter(dir.path(), {command}, dir.path() / "run.log");
            failures += run.exitCode != 0;
            times.push_back(run.seconds);
        }
        const long peakKb = peakMemoryKb(dir.path(), {command}, dir.path() / "run.log");
        const double time = median(times), floor = median(floors), ratio = time / floor;
        std::printf("  /%-4s %.3f s; floor %.3f s (read() the pictures, write the %.1f MB archive);"
                    " ratio %.2f (best runs: %.3f s, %.3f s, %.2f); peak memory %.1f MB\n",
                    mode.c_str(), time, floor, bytes.size() / 1e6, ratio, best(times), best(floors),
                    best(times) / best(floors), peakKb / 1024.0);
        std::printf("        mapping the pictures instead of read(): floor %.3f s, ratio %.2f\n",
                    median(mapped), time / median(mapped));
        if (mode == "c16") {
            std::printf("        goals: ratio <= 2.5 %s, <= 0.10 s %s, < 64 MB %s\n",
                        verdict(ratio <= 2.5), verdict(time <= 0.10), verdict(peakKb < 64 * 1024));
        }
    }

    // Large pictures: memory must not follow the picture size.
    const std::vector<fs::path> large = makeLargePictures(dir.path());
    writeText(dir.path() / "large.txt", commandFile("c24", "large.mbm", large));
    const RunResult big = runConverter(dir.path(), {"large.txt"}, dir.path() / "run.log");
    const long bigKb = peakMemoryKb(dir.path(), {"large.txt"}, dir.path() / "run.log");
    failures += big.exitCode != 0;
    std::printf("  large: 6 pictures of 3000 x 2000 at /c24 (%.0f MB archive) in %.2f s;"
                " peak memory %.1f MB (goal < 64 MB %s)\n",
                big.exitCode == 0 ? fs::file_size(dir.path() / "large.mbm") / 1e6 : 0.0,
                big.seconds, bigKb / 1024.0, verdict(bigKb >= 0 && bigKb < 64 * 1024));
    return failures == 0 ? 0 : 1;
}
