// bmconv.exe: compiles, lists and splits Symbian multi-bitmap archives.
#include "cli.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return bmconv::runCommandLine(args, std::cout);
}
