// The converter's reference corpus on Windows: the converter as built for Windows, given
// exactly what bmconv.exe's main gives it (the arguments, and the console as standard
// output redirected into a file the way "> file" does), compiles every case, lists every
// archive or splits every archive with reference splits, all in one process, as a process
// start under wine costs more than most cases.
//   bmconv_corpus.exe compile|list|split <test data folder> <empty work folder>
// Prints one line per difference to the error stream and exits 1 when there was one.
#include "cli.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int failures = 0;

void fail(const std::string& what) {
    ++failures;
    std::cerr << "FAILED " << what << '\n';
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> split(const std::string& s, const std::string& separator) {
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t next; (next = s.find(separator, at)) != std::string::npos;
         at = next + separator.size())
        parts.push_back(s.substr(at, next - at));
    parts.push_back(s.substr(at));
    return parts;
}

/// Runs the converter as bmconv.exe `args` > `console` would, in the current folder.
int runConverter(const std::vector<std::string>& args, const fs::path& console) {
    std::cout.flush();
    if (!std::freopen(console.string().c_str(), "w", stdout)) {
        fail("cannot redirect the console into " + console.string());
        return -1;
    }
    const int code = bmconv::runCommandLine(args, std::cout);
    std::cout.flush();
    std::fflush(stdout);
    return code;
}

struct Case {
    std::string name, store;
    std::vector<std::string> switches, pictures;
};

std::vector<Case> loadCases(const fs::path& file) {
    std::vector<Case> cases;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> f = split(line, "\t");
        if (f.size() != 4) continue;
        Case c{f[0], f[1], {}, {}};
        std::istringstream sw(f[2]), pics(f[3]);
        for (std::string w; sw >> w;)
            c.switches.push_back(w);
        for (std::string w; pics >> w;)
            c.pictures.push_back(w);
        cases.push_back(c);
    }
    return cases;
}

/// Compiles every case from a command file that names the pictures by Windows paths and
/// compares the archive byte for byte.
int compileCases(const fs::path& corpus, const fs::path& work) {
    const std::vector<Case> cases = loadCases(corpus / "cases.txt");
    for (const Case& c : cases) {
        const fs::path archive = work / (c.name + ".mbm");
        std::string text = (c.store.empty() ? "" : c.store + " ") + archive.string() + "\r\n";
        for (size_t k = 0; k < c.switches.size() && k < c.pictures.size(); ++k)
            text += c.switches[k] + (corpus / "src" / c.pictures[k]).string() + "\r\n";
        const fs::path commands = work / (c.name + ".txt");
        std::ofstream(commands, std::ios::binary) << text;
        const int code = runConverter({commands.string()}, work / "console.log");
        if (code != 0)
            fail("compile " + c.name + ": exit code " + std::to_string(code) + "\n" +
                 readFile(work / "console.log"));
        else if (readFile(archive) != readFile(corpus / "ref" / (c.name + ".mbm")))
            fail("compile " + c.name + ": the archive differs from the reference");
    }
    return int(cases.size());
}

/// Lists every archive in `folder` by its bare name, run in that folder, and compares the
/// listing with the reference line by line except the version line. On Windows the
/// console writes CR LF line ends, and only those.
int listArchives(const fs::path& folder, const fs::path& work) {
    int listed = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".mbm") continue;
        const std::string name = entry.path().stem().string();
        const fs::path output = work / (name + ".v.txt");
        fs::current_path(folder);
        const int code = runConverter({"/v", name + ".mbm"}, output);
        fs::current_path(work);
        ++listed;
        if (code != 0) {
            fail("list " + name + ": exit code " + std::to_string(code));
            continue;
        }
        const std::string actual = readFile(output);
        std::string bare = actual;
        for (size_t at; (at = bare.find("\r\n")) != std::string::npos;)
            bare.replace(at, 2, "\n");
        if (bare.find('\r') != std::string::npos ||
            std::count(actual.begin(), actual.end(), '\n') !=
                std::count(actual.begin(), actual.end(), '\r')) {
            fail("list " + name + ": line ends other than CR LF");
            continue;
        }
        const std::vector<std::string> got = split(bare, "\n");
        const std::vector<std::string> want = split(readFile(folder / (name + ".v.txt")), "\n");
        if (got.size() != want.size() || got.size() < 3) {
            fail("list " + name + ": " + std::to_string(got.size()) + " lines instead of " +
                 std::to_string(want.size()));
            continue;
        }
        if (got[2] != "BMCONV version 119 (MBM Zembrel).")
            fail("list " + name + ": version line " + got[2]);
        for (size_t i = 0; i < got.size(); ++i)
            if (i != 2 && got[i] != want[i]) {
                fail("list " + name + ": line " + std::to_string(i + 1) + " is \"" + got[i] +
                     "\" instead of \"" + want[i] + "\"");
                break;
            }
    }
    return listed;
}

/// Splits every archive in `folder` that has reference splits beside it (<name>.u<k>.bmp)
/// and compares every bitmap byte for byte.
int splitArchives(const fs::path& folder, const fs::path& work) {
    int split = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".mbm") continue;
        const std::string name = entry.path().stem().string();
        std::vector<fs::path> references;
        for (int k = 0; fs::exists(folder / (name + ".u" + std::to_string(k) + ".bmp")); ++k)
            references.push_back(folder / (name + ".u" + std::to_string(k) + ".bmp"));
        if (references.empty()) continue;
        std::vector<std::string> args{"/u", entry.path().string()};
        for (size_t k = 0; k < references.size(); ++k)
            args.push_back((work / (name + ".out" + std::to_string(k) + ".bmp")).string());
        ++split;
        const int code = runConverter(args, work / "console.log");
        if (code != 0) {
            fail("split " + name + ": exit code " + std::to_string(code));
            continue;
        }
        for (size_t k = 0; k < references.size(); ++k)
            if (readFile(args[k + 2]) != readFile(references[k]))
                fail("split " + name + ": bitmap " + std::to_string(k) + " differs");
    }
    return split;
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc == 4 ? argv[1] : "";
    if (what != "compile" && what != "list" && what != "split") {
        std::cerr << "usage: bmconv_corpus.exe compile|list|split <test data folder> "
                     "<empty work folder>\n";
        return 2;
    }
    const fs::path data = argv[2], work = argv[3];
    const fs::path corpus = data / "bmconv-reference";
    fs::create_directories(work);
    fs::current_path(work);
    int count = 0, least = 0;
    if (what == "compile") {
        count = compileCases(corpus, work);
        least = 160;
    } else if (what == "list") {
        count = listArchives(corpus / "ref", work) + listArchives(data / "real-mbm", work);
        least = 180;
    } else {
        count = splitArchives(corpus / "ref", work) + splitArchives(data / "real-mbm", work);
        least = 20;
    }
    std::cerr << what << ": " << count << " archives, " << failures << " differences\n";
    if (count < least) {
        std::cerr << "FAILED the corpus is incomplete: fewer than " << least << " archives\n";
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
