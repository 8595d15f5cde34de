// Benchmark of the converter's reading side on archives of 500 pictures of 176 x 208 at
// /c16 and /c8 (compiled by bmconv.exe from generated 24-bit BMP files):
// - listing (/v), which reads the headers and the records' control bytes, not the pixels;
//   shown beside the converter's start-up alone and a plain read of the whole archive;
// - splitting (/u, from a command file as the editor writes it), against a floor measured
//   in the same run: copying the 500 BMP files it writes into as many new files.
// Then the peak memory of listing and splitting an archive of large pictures.
//   bench_bmconv_read [runs per measurement, default 7]
// Goals for /c16: list <= 0.01 s (shown also against a plain read of the whole archive,
// which a listing must beat: it reads the headers and the records' control bytes); split at
// most 2 x its floor and 0.10 s; below 64 MB.
#include "bmconv_bench.h"

using namespace benchsupport;

namespace {

constexpr int kPictures = 500, kWidth = 176, kHeight = 208;

std::string splitText(const std::string& archive, const std::vector<fs::path>& outputs) {
    std::string text = "/u " + archive + "\r\n";
    for (const fs::path& p : outputs)
        text += p.filename().string() + "\r\n";
    return text;
}

void removeAll(const std::vector<fs::path>& files) {
    for (const fs::path& f : files)
        fs::remove(f);
}

} // namespace

int main(int argc, char** argv) {
    if (launchMain(argc, argv)) return 0;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    BenchDir dir("bench-bmconv-read");
    const std::vector<fs::path> pictures = makeCorpus(dir.path(), kPictures, kWidth, kHeight);
    fs::create_directories(dir.path() / "ref");
    fs::create_directories(dir.path() / "copy");
    std::vector<fs::path> outputs, references, copies;
    for (int i = 0; i < kPictures; ++i) {
        const std::string name = "image_" + std::to_string(i) + ".bmp";
        outputs.push_back(dir.path() / name);
        references.push_back(dir.path() / "ref" / name);
        copies.push_back(dir.path() / "copy" / name);
    }
    std::printf("bmconv list and split: %d pictures of %d x %d, median (and best) of %d runs\n",
                kPictures, kWidth, kHeight, runs);
    const fs::path log = dir.path() / "run.log";
    int failures = 0;
    for (const std::string mode : {"c16", "c8"}) {
        const std::string archive = "bench_" + mode + ".mbm";
        writeText(dir.path() / "build.txt", commandFile(mode, archive, pictures));
        writeText(dir.path() / "extract.txt", splitText(archive, outputs));
        if (runConverter(dir.path(), {"build.txt"}, log).exitCode != 0 ||
            runConverter(dir.path(), {"extract.txt"}, log).exitCode != 0) {
            std::printf("  /%s: the converter FAILED (see %s)\n", mode.c_str(), log.c_str());
            return 1;
        }
        for (int i = 0; i < kPictures; ++i)
            fs::rename(outputs[size_t(i)], references[size_t(i)]);
        const fs::path archivePath = dir.path() / archive;

        std::vector<double> list, start, whole, split, copy;
        // The listings first, apart from the splits: the files a split writes are still
        // being written back to the disk for a while afterwards, which a listing of a few
        // milliseconds would measure instead of itself.
        sync();
        for (int r = 0; r < runs; ++r) {
            start.push_back(runConverter(dir.path(), {}, log).seconds);
            whole.push_back(readFiles({archivePath}));
            const RunResult l = runConverter(dir.path(), {"/v", archive}, log);
            failures += l.exitCode != 0;
            list.push_back(l.seconds);
        }
        for (int r = 0; r < runs; ++r) {
            copy.push_back(copyFiles(references, copies));
            removeAll(copies);
            const RunResult s = runConverter(dir.path(), {"extract.txt"}, log);
            failures += s.exitCode != 0 || !fs::exists(outputs.back());
            split.push_back(s.seconds);
            removeAll(outputs);
        }
        const long listKb = peakMemoryKb(dir.path(), {"/v", archive}, log);
        const long splitKb = peakMemoryKb(dir.path(), {"extract.txt"}, log);
        removeAll(outputs);
        const double listTime = median(list), splitTime = median(split), floor = median(copy);
        std::printf("  /%-4s archive %.1f MB\n", mode.c_str(), fs::file_size(archivePath) / 1e6);
        std::printf("    list  %.4f s (best %.4f); converter start-up alone %.4f s, plain read of"
                    " the whole archive %.4f s (ratio %.2f); peak memory %.1f MB\n",
                    listTime, best(list), median(start), median(whole), listTime / median(whole),
                    listKb / 1024.0);
        std::printf("    split %.3f s; floor %.3f s (copy the %d BMP files it writes); ratio %.2f"
                    " (best runs: %.3f s, %.3f s, %.2f); peak memory %.1f MB\n",
                    splitTime, floor, kPictures, splitTime / floor, best(split), best(copy),
                    best(split) / best(copy), splitKb / 1024.0);
        if (mode == "c16") {
            std::printf(
                "    goals: list <= 0.01 s %s; split ratio <= 2 %s, <= 0.10 s %s;"
                " < 64 MB %s\n",
                verdict(listTime <= 0.01), verdict(splitTime / floor <= 2),
                verdict(splitTime <= 0.10),
                verdict(listKb >= 0 && splitKb >= 0 && std::max(listKb, splitKb) < 64 * 1024));
        }
    }

    // Large pictures: memory must not follow the archive's or the bitmaps' size.
    writeText(dir.path() / "large.txt",
              commandFile("c24", "large.mbm", makeLargePictures(dir.path())));
    std::vector<fs::path> largeOut;
    for (int i = 0; i < 6; ++i)
        largeOut.push_back(dir.path() / ("big_" + std::to_string(i) + ".bmp"));
    writeText(dir.path() / "large_split.txt", splitText("large.mbm", largeOut));
    if (runConverter(dir.path(), {"large.txt"}, log).exitCode != 0) {
        std::printf("  large archive: the compile FAILED\n");
        return 1;
    }
    const RunResult l = runConverter(dir.path(), {"/v", "large.mbm"}, log);
    const RunResult s = runConverter(dir.path(), {"large_split.txt"}, log);
    failures += l.exitCode != 0 || s.exitCode != 0;
    const long largeListKb = peakMemoryKb(dir.path(), {"/v", "large.mbm"}, log);
    const long largeSplitKb = peakMemoryKb(dir.path(), {"large_split.txt"}, log);
    std::printf("  large archive (6 pictures of 3000 x 2000 at /c24, %.0f MB): list %.3f s, peak"
                " memory %.1f MB; split %.2f s, peak memory %.1f MB (goal < 64 MB %s)\n",
                fs::file_size(dir.path() / "large.mbm") / 1e6, l.seconds, largeListKb / 1024.0,
                s.seconds, largeSplitKb / 1024.0,
                verdict(largeListKb >= 0 && largeSplitKb >= 0 &&
                        std::max(largeListKb, largeSplitKb) < 64 * 1024));
    return failures == 0 ? 0 : 1;
}
