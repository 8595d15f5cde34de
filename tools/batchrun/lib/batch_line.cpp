// Taking batch lines apart. Only what the editor's job batches use is understood;
// everything else is either run as a program or reported.
#include "batch_command.h"

#include "name_match.h"

#include <array>

namespace batchrun {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    return trimRight(trimLeft(s));
}

// The command interpreter drops every double quote from cd and del arguments.
std::string withoutQuotes(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s)
        if (c != '"') r += c;
    return r;
}

// Built-in commands of the Windows interpreter that this one does not run.
// Without this list a line such as "copy a b" would look for a program named
// "copy" in the current folder, which could run something unintended.
bool isUnsupportedBuiltin(const std::string& word) {
    static const std::array<const char*, 36> names = {
        "assoc", "break",    "call",  "cls",    "color", "copy",  "date",  "dir",    "endlocal",
        "exit",  "for",      "ftype", "goto",   "if",    "md",    "mkdir", "mklink", "move",
        "path",  "pause",    "popd",  "prompt", "pushd", "rd",    "ren",   "rename", "rmdir",
        "set",   "setlocal", "shift", "start",  "time",  "title", "type",  "ver",    "vol"};
    for (const char* n : names)
        if (word == n) return true;
    return false;
}

Command make(CommandKind kind, std::string text) {
    Command c;
    c.kind = kind;
    c.text = std::move(text);
    return c;
}

// cmd writes everything between "echo " and the redirection, including the
// blank in front of '>': `echo "done" > end.log` leaves `"done" ` + CR LF in
// end.log. The last unquoted '>' (or '>>') starts the redirection, so text
// holding quoted or earlier '>' characters stays text.
Command parseEcho(std::string_view rest) {
    if (trim(rest).empty()) return make(CommandKind::EchoSwitch, "");
    // Skip the one separator after "echo"; "echo>f" has none.
    std::string_view text = isBlank(rest.front()) ? rest.substr(1) : rest;
    std::optional<size_t> last;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == '>' && !quoted)
            last = i;
    }
    if (!last) {
        if (equalsIgnoreCase(trim(text), "off") || equalsIgnoreCase(trim(text), "on"))
            return make(CommandKind::EchoSwitch, std::string(trim(text)));
        return make(CommandKind::Echo, std::string(text));
    }
    size_t start = *last;
    bool append = start > 0 && text[start - 1] == '>';
    if (append) --start;
    std::string target = withoutQuotes(trim(text.substr(*last + 1)));
    if (target.empty())
        return make(CommandKind::Invalid, "the '>' at the end of the line names no file");
    Command c = make(CommandKind::Echo, std::string(text.substr(0, start)));
    c.out = Redirect{target, append};
    return c;
}

Command parseChangeDir(std::string_view rest) {
    rest = trim(rest);
    if (rest.size() >= 2 && rest[0] == '/' && (rest[1] == 'd' || rest[1] == 'D') &&
        (rest.size() == 2 || isBlank(rest[2])))
        rest = trim(rest.substr(2));
    return make(CommandKind::ChangeDir, withoutQuotes(rest));
}

Command parseDelete(std::string_view rest) {
    std::string name = withoutQuotes(trim(rest));
    if (name.empty()) return make(CommandKind::Invalid, "del needs the name of a file to delete");
    // One name per line: blanks, '&', '>' and the like are part of the name.
    return make(CommandKind::Delete, name);
}

Command parseRun(std::string_view line) {
    std::vector<std::string> words;
    Command c;
    std::string problem;
    if (!splitWords(line, words, c.out, c.err, problem)) return make(CommandKind::Invalid, problem);
    if (words.empty() || words[0].empty())
        return make(CommandKind::Invalid, "the line names no program to run");
    if (words[0].find('/') != std::string::npos)
        return make(CommandKind::Unknown, "'" + words[0] +
                                              "' is neither a command nor the name of a program "
                                              "in the current folder");
    c.kind = CommandKind::Run;
    c.text = words[0];
    c.args.assign(words.begin() + 1, words.end());
    return c;
}

} // namespace

bool splitWords(std::string_view text, std::vector<std::string>& words,
                std::optional<Redirect>& out, std::optional<Redirect>& err, std::string& problem) {
    std::string cur;
    bool inWord = false, quoted = false, wordHadQuote = false;
    std::optional<Redirect>* pending = nullptr; // the redirection waiting for its file name

    auto finishWord = [&] {
        if (!inWord) return;
        if (pending) {
            (*pending)->path = cur;
            pending = nullptr;
        } else {
            words.push_back(cur);
        }
        cur.clear();
        inWord = wordHadQuote = false;
    };

    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            inWord = wordHadQuote = true;
        } else if (!quoted && isBlank(c)) {
            finishWord();
        } else if (!quoted && c == '>') {
            bool toErr = false;
            // "2>" and "1>" name the stream only as a word of their own.
            if (inWord && !wordHadQuote && (cur == "1" || cur == "2")) {
                toErr = cur == "2";
                cur.clear();
                inWord = false;
            } else {
                finishWord();
            }
            if (pending) {
                problem = "a '>' is followed by another '>' instead of a file name";
                return false;
            }
            bool append = i + 1 < text.size() && text[i + 1] == '>';
            if (append) ++i;
            pending = toErr ? &err : &out;
            *pending = Redirect{std::string(), append};
        } else {
            cur += c;
            inWord = true;
        }
    }
    finishWord();
    if (pending) {
        problem = "the '>' at the end of the line names no file";
        return false;
    }
    return true;
}

Command parseLine(std::string_view raw) {
    std::string_view line = trimLeft(raw);
    while (!line.empty() && line.front() == '@')
        line = trimLeft(line.substr(1));
    std::string_view whole = trimRight(line);
    if (whole.empty() || whole.front() == ':') return make(CommandKind::Nothing, "");
    if (whole.find('\0') != std::string_view::npos)
        return make(CommandKind::Invalid, "the line holds a NUL byte");
    if (whole.size() == 2 && whole[1] == ':') return make(CommandKind::Nothing, "");

    size_t end = 0;
    while (end < line.size() && !isBlank(line[end]) && line[end] != '>')
        ++end;
    const std::string word = toLowerAscii(line.substr(0, end));
    std::string_view rest = line.substr(end);

    if (word == "rem") return make(CommandKind::Nothing, "");
    if (word == "echo") return parseEcho(rest);
    if (word == "cd" || word == "chdir") return parseChangeDir(rest);
    if (word == "del" || word == "erase") return parseDelete(rest);
    if (isUnsupportedBuiltin(word))
        return make(CommandKind::Unknown,
                    "'" + word + "' is a command this batch interpreter does not run");
    return parseRun(whole);
}

} // namespace batchrun
