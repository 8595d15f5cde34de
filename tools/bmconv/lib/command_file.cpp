#include "command_file.h"

namespace bmconv {
namespace {

bool separator(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\x1A';
}
bool lineEnd(char c) {
    return c == '\n' || c == '\r';
}

} // namespace

CommandFileTokens tokenizeCommandFile(const std::string& text) {
    CommandFileTokens result;
    std::string current;
    bool inToken = false;
    bool inQuote = false;
    size_t line = 1;
    auto finish = [&] {
        if (inToken) result.tokens.push_back(current);
        current.clear();
        inToken = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const size_t here = line;
        if (c == '\n') ++line;
        if (inQuote) {
            if (c == '"') {
                inQuote = false;
            } else if (lineEnd(c)) {
                result.error = "a double quote is not closed on line " + std::to_string(here);
                return result;
            } else {
                current += c;
            }
            continue;
        }
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            // A comment ends the token like the blanks that replace it.
            finish();
            while (i + 1 < text.size() && !lineEnd(text[i + 1]))
                ++i;
        } else if (separator(c)) {
            finish();
        } else if (c == '"') {
            inQuote = true;
            inToken = true;
        } else {
            current += c;
            inToken = true;
        }
    }
    if (inQuote) {
        result.error = "a double quote is not closed on line " + std::to_string(line);
        return result;
    }
    if (inToken) {
        result.lastTerminated = false;
        finish();
    }
    result.ok = true;
    return result;
}

} // namespace bmconv
