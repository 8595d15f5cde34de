// Reading archives: listing (/v) and splitting (/u). Owned by the reading side of the converter.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace bmconv {

/// Prints the listing of a file store or ROM image to `out` (banner included).
/// Returns 0 on success; on a missing or damaged archive prints a message naming the
/// problem and returns a non-zero exit code.
int listArchive(const std::string& archivePath, std::ostream& out);

/// Splits the archive into 24-bit BMP files, bitmap k to outputs[k], in archive order; each
/// output is written under a temporary name and renamed into place. Prints the split report.
/// Returns 0, or the SDK tool's exit code (7 when there are more outputs than bitmaps,
/// after writing the others).
int splitArchive(const std::string& archivePath, const std::vector<std::string>& outputs,
                 std::ostream& out);

} // namespace bmconv
