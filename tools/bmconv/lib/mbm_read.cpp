// Listing and splitting of archives: entry points of the reading side.
#include "mbm_read.h"

#include "messages.h"

namespace bmconv {

int listArchive(const std::string& archivePath, std::ostream& out) {
    printBanner(out);
    out << archivePath << ": reading archives is not available yet\n";
    return kBadSourceFile;
}

int splitArchive(const std::string& archivePath, const std::vector<std::string>& outputs,
                 std::ostream& out) {
    (void)outputs;
    printBanner(out);
    out << archivePath << ": reading archives is not available yet\n";
    return kBadSourceFile;
}

} // namespace bmconv
