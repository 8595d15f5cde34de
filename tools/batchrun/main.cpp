// batchrun: runs a job batch (.bat) of the editor where there is no Windows
// command interpreter. Usage: batchrun <full path of .bat>
#include "batch_file.h"
#include "batch_runner.h"
#include "program_launcher.h"

#include <filesystem>
#include <iostream>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::cerr << "usage: batchrun <full path of .bat>\n"
                     "Runs the lines of a job batch in order; a failing line is reported "
                     "and the next one runs.\n";
        return 2;
    }
    // The whole file is read first, so a batch may delete itself.
    batchrun::BatchFile file = batchrun::readBatchFile(argv[1]);
    if (!file.ok) {
        std::cerr << "batchrun: " << file.message << '\n';
        return 1;
    }
    std::error_code ec;
    std::string start = std::filesystem::current_path(ec).string();
    if (ec) start = "/"; // the batch's own cd line decides where the work happens
    auto launcher = batchrun::makeSystemLauncher();
    batchrun::BatchRunner runner(*launcher, start, std::cerr, std::cout, argv[1]);
    runner.runAll(file.lines);
    return 0;
}
