// Argument and command-file handling; dispatches to compiling, listing and splitting.
#pragma once
#include "compile.h"

#include <ostream>
#include <string>
#include <vector>

namespace bmconv {

/// Runs the converter as its command line asks (arguments without the program name) and
/// returns the process exit code. All console text goes to `out`.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out);

/// Splits a source token into its switch and file name the way the SDK converter reads it:
/// optional 'c', one digit, a second digit only if it is 2, 4 or 6, then 'a' only after c32.
/// A token without a switch (or naming an existing path) is a 2 bpp grey picture.
SourceArg parseSource(const std::string& token);

} // namespace bmconv
