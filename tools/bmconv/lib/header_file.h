// The C++ header of bitmap identifiers that /h writes beside an archive.
#pragma once
#include <string>
#include <vector>

namespace bmconv {

/// The identifier part taken from a file name: folder and extension dropped, first letter
/// upper-case, the rest lower-case, and every character that may not appear in a C++
/// identifier replaced by '_'.
std::string identifierPart(const std::string& fileName);

/// The header text: a four-line comment, then `enum TMbm<Archive>` with one entry
/// `EMbm<Archive><Source>` per source in order. Entries that would repeat an earlier one get
/// a suffix `_2`, `_3`, ... so that the header always compiles.
std::string makeHeaderText(const std::string& headerPath, const std::string& archivePath,
                           const std::vector<std::string>& sourceNames);

/// Reads the names file of /i: one name per line (LF or CR LF ends, the last line's end
/// optional), the first standing for the archive and each further one for the source of
/// the same position. Returns false with a message in `error` when the file cannot be read
/// or holds an empty line.
bool readIdentifierNames(const std::string& path, std::vector<std::string>& names,
                         std::string& error);

/// Writes `text` to `path`. Returns false (and leaves no file) when that fails.
bool writeHeaderFile(const std::string& path, const std::string& text);

} // namespace bmconv
