// Taking lines apart: which command, which words, which redirection.
#include "batch_command.h"
#include "batch_file.h"
#include "name_match.h"

#include <gtest/gtest.h>

namespace batchrun {
namespace {

struct LineCase {
    const char* line;
    CommandKind kind;
    std::string text;
    std::vector<std::string> args;
    std::string out; // "" = no redirection of standard output
    bool append;
    std::string err; // "" = no redirection of standard error
};

class ParseLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseLineTest, TakesLineApart) {
    const LineCase& c = GetParam();
    Command cmd = parseLine(c.line);
    EXPECT_EQ(cmd.kind, c.kind) << c.line;
    if (c.kind != CommandKind::Unknown && c.kind != CommandKind::Invalid) {
        EXPECT_EQ(cmd.text, c.text) << c.line;
    }
    EXPECT_EQ(cmd.args, c.args) << c.line;
    EXPECT_EQ(cmd.out ? cmd.out->path : "", c.out) << c.line;
    if (cmd.out) {
        EXPECT_EQ(cmd.out->append, c.append) << c.line;
    }
    EXPECT_EQ(cmd.err ? cmd.err->path : "", c.err) << c.line;
}

using K = CommandKind;
INSTANTIATE_TEST_SUITE_P(
    Lines, ParseLineTest,
    ::testing::Values(
        // Silent lines.
        LineCase{"", K::Nothing, "", {}, "", false, ""},
        LineCase{"   \t ", K::Nothing, "", {}, "", false, ""},
        LineCase{"C:", K::Nothing, "", {}, "", false, ""},
        LineCase{"rem del *.*", K::Nothing, "", {}, "", false, ""},
        LineCase{":: note", K::Nothing, "", {}, "", false, ""},
        // The Linux editor's "drive line" is the start of a path.
        LineCase{"/h", K::Unknown, "", {}, "", false, ""},
        LineCase{"/usr/bin/touch x", K::Unknown, "", {}, "", false, ""},
        LineCase{"copy a.bmp b.bmp", K::Unknown, "", {}, "", false, ""},
        // cd, quotes optional, blanks inside the folder kept.
        LineCase{"cd \"/p q/temp\"", K::ChangeDir, "/p q/temp", {}, "", false, ""},
        LineCase{"CD /p q/temp/", K::ChangeDir, "/p q/temp/", {}, "", false, ""},
        LineCase{"cd /d \"C:\\prog\\temp\\\"", K::ChangeDir, "C:\\prog\\temp\\", {}, "", false, ""},
        LineCase{"echo off", K::EchoSwitch, "off", {}, "", false, ""},
        LineCase{"@ECHO OFF", K::EchoSwitch, "OFF", {}, "", false, ""},
        // echo keeps the blank before '>' and everything unquoted but '>'.
        LineCase{"echo \"Done\" > end.log", K::Echo, "\"Done\" ", {}, "end.log", false, ""},
        LineCase{"echo hi>f.log", K::Echo, "hi", {}, "f.log", false, ""},
        LineCase{"echo a>b > f", K::Echo, "a>b ", {}, "f", false, ""},
        LineCase{"echo \"x > y\" >> \"my log\"", K::Echo, "\"x > y\" ", {}, "my log", true, ""},
        LineCase{
            "echo a&touch x|y;z $(w) `v`", K::Echo, "a&touch x|y;z $(w) `v`", {}, "", false, ""},
        LineCase{"echo  two ", K::Echo, " two ", {}, "", false, ""},
        LineCase{"echo text >", K::Invalid, "", {}, "", false, ""},
        // del takes the rest of the line as one name.
        LineCase{"del *.bmp", K::Delete, "*.bmp", {}, "", false, ""},
        LineCase{"DEL  a&touch x ", K::Delete, "a&touch x", {}, "", false, ""},
        LineCase{"del my file>1.bmp", K::Delete, "my file>1.bmp", {}, "", false, ""},
        LineCase{"erase \"q.txt\"", K::Delete, "q.txt", {}, "", false, ""},
        LineCase{"del", K::Invalid, "", {}, "", false, ""},
        // Programs: blanks split, quotes group and go, '>' redirects.
        LineCase{"bmconv.exe mbmcreater.txt > error.log",
                 K::Run,
                 "bmconv.exe",
                 {"mbmcreater.txt"},
                 "error.log",
                 false,
                 ""},
        LineCase{"bmconv /v icons.mbm>temp.log",
                 K::Run,
                 "bmconv",
                 {"/v", "icons.mbm"},
                 "temp.log",
                 false,
                 ""},
        LineCase{"bmconv extract.txt", K::Run, "bmconv", {"extract.txt"}, "", false, ""},
        LineCase{"p \"a b\" \"\" c\"d e\"f", K::Run, "p", {"a b", "", "cd ef"}, "", false, ""},
        LineCase{"p \"x>y\" a&b $(c)", K::Run, "p", {"x>y", "a&b", "$(c)"}, "", false, ""},
        LineCase{"p a >>\"o u t\" 2>e", K::Run, "p", {"a"}, "o u t", true, "e"},
        LineCase{"p 2 > o a2>b", K::Run, "p", {"2", "a2"}, "b", false, ""},
        LineCase{"p a >", K::Invalid, "", {}, "", false, ""},
        LineCase{"p > > o", K::Invalid, "", {}, "", false, ""},
        LineCase{"> o", K::Invalid, "", {}, "", false, ""}));

TEST(ParseLineTest, LineWithNulByteIsRefused) {
    EXPECT_EQ(parseLine(std::string("p a\0b", 5)).kind, CommandKind::Invalid);
}

struct WildCase {
    const char* pattern;
    const char* name;
    bool match;
};

class WildcardTest : public ::testing::TestWithParam<WildCase> {};

TEST_P(WildcardTest, MatchesLikeWindows) {
    EXPECT_EQ(wildcardMatch(GetParam().pattern, GetParam().name), GetParam().match)
        << GetParam().pattern << " vs " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, WildcardTest,
    ::testing::Values(WildCase{"*.bmp", "a.bmp", true}, WildCase{"*.bmp", "A.BMP", true},
                      WildCase{"*.BMP", "x.y.bmp", true}, WildCase{"*.bmp", "a.bmpx", false},
                      WildCase{"*.bmp", "bmp", false}, WildCase{"*.bmp", ".bmp", true},
                      WildCase{"?.txt", "a.txt", true}, WildCase{"?.txt", "ab.txt", false},
                      WildCase{"a*b*c", "aXXbYYc", true}, WildCase{"a*b*c", "aXXbYY", false},
                      WildCase{"*.*", "noext", true}, WildCase{"a.*", "a", true},
                      WildCase{"a.*", "ab", false}, WildCase{"*", "", true},
                      WildCase{"*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
                      WildCase{"\xC4*.bmp", "\xC4x.bmp", true},
                      WildCase{"\xC4*.bmp", "\xE4x.bmp", false}));

struct SplitCase {
    std::string bytes;
    std::vector<std::string> lines;
};

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, AcceptsCrLfAndLf) {
    EXPECT_EQ(splitLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, SplitLinesTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"a\nb", {"a", "b"}}, SplitCase{"a\r\n\r\nb", {"a", "", "b"}},
                      SplitCase{"a\rb\r\n", {"a\rb"}}, SplitCase{"x\r", {"x"}},
                      SplitCase{std::string("\xE9\0z\n", 4), {std::string("\xE9\0z", 3)}}));

} // namespace
} // namespace batchrun
