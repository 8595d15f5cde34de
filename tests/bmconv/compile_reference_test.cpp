// Every case of the reference corpus must compile to exactly the SDK converter's archive.
#include "compile_helpers.h"

#include "cli.h"

#include <sstream>

namespace compiletest {
namespace {

const fs::path kCorpus = fs::path(ZEMBREL_TESTDATA) / "bmconv-reference";

struct ReferenceCase {
    std::string name;
    std::string store; // "", "/n", "/r" or "/s"
    std::vector<std::string> switches;
    std::vector<std::string> pictures;
};

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::vector<ReferenceCase> loadCases() {
    std::vector<ReferenceCase> cases;
    std::ifstream in(kCorpus / "cases.txt");
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string f; std::getline(row, f, '\t');)
            fields.push_back(f);
        if (fields.size() != 4) continue;
        cases.push_back({fields[0], fields[1], words(fields[2]), words(fields[3])});
    }
    return cases;
}

/// The command file the SDK converter was given: the store option and archive, then one
/// switch glued to a picture per line, CR LF line ends.
std::string commandFile(const ReferenceCase& c, const std::string& archive,
                        const std::string& pictureFolder) {
    std::string text = (c.store.empty() ? "" : c.store + " ") + archive + "\r\n";
    for (size_t k = 0; k < c.switches.size(); ++k)
        text += c.switches[k] + pictureFolder + c.pictures[k] + "\r\n";
    return text;
}

class ReferenceCompile : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceCompile, MatchesSdkArchiveByteForByte) {
    const ReferenceCase& c = GetParam();
    TempDir dir;
    writeText(dir / "cmd.txt",
              commandFile(c, dir.str(c.name + ".mbm"), (kCorpus / "src").string() + "/"));
    std::ostringstream out;
    ASSERT_EQ(bmconv::runCommandLine({dir.str("cmd.txt")}, out), 0) << out.str();
    const Bytes expected = readFile(kCorpus / "ref" / (c.name + ".mbm"));
    const Bytes actual = readFile(dir / (c.name + ".mbm"));
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(int(actual[i]), int(expected[i])) << "first difference at offset " << i;
}

std::string caseName(const ::testing::TestParamInfo<ReferenceCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, ReferenceCompile, ::testing::ValuesIn(loadCases()), caseName);

TEST(ReferenceCompileCorpus, HoldsAllCases) {
    EXPECT_EQ(loadCases().size(), 164u);
}

// The program itself, run like the SDK tool in the picture folder with bare names.
TEST(ReferenceCompileProgram, CompilesMultiPictureCasesInItsWorkFolder) {
    TempDir dir;
    for (const ReferenceCase& c : loadCases()) {
        if (c.pictures.size() < 2) continue;
        for (const std::string& p : c.pictures)
            fs::copy_file(kCorpus / "src" / p, dir / p, fs::copy_options::overwrite_existing);
        writeText(dir / "mbmcreater.txt", commandFile(c, c.name + ".mbm", ""));
        EXPECT_EQ(runBmconv(dir.path(), {"mbmcreater.txt"}), 0) << c.name;
        EXPECT_EQ(readFile(dir / (c.name + ".mbm")), readFile(kCorpus / "ref" / (c.name + ".mbm")))
            << c.name;
    }
}

} // namespace
} // namespace compiletest
