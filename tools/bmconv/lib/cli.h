// Argument and command-file handling; dispatches to compiling, listing and splitting.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace bmconv {

/// Runs the converter as its command line asks (arguments without the program name) and
/// returns the process exit code. All console text goes to `out`.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out);

} // namespace bmconv
