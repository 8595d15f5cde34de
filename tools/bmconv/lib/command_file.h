// Splitting a command file into argument tokens.
#pragma once
#include <string>
#include <vector>

namespace bmconv {

/// The tokens of a command file.
struct CommandFileTokens {
    bool ok = false;
    std::string error;               ///< what is wrong when !ok
    std::vector<std::string> tokens; ///< in file order
    /// False when the file ends inside the last token (no separator after it). Such a token
    /// still counts as an argument but is left out of the compile report.
    bool lastTerminated = true;
};

/// Splits command-file text as the SDK converter does: `//` blanks out the rest of its line;
/// tokens are separated by space, LF, CR and 0x1A only (a tab belongs to the token). As an
/// extension, characters between double quotes belong to the token whatever they are (blanks,
/// tabs, `//`); the quotes themselves are dropped. A quote left open at the end of its line
/// is an error.
CommandFileTokens tokenizeCommandFile(const std::string& text);

} // namespace bmconv
