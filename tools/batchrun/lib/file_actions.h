// The file work of batch lines: deleting by name or pattern, finding a program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace batchrun {

/// What a delete did. `problems` holds one message per failure, for the report.
struct DeleteResult {
    size_t deleted = 0;
    std::vector<std::string> problems;
};

/// Deletes what "del NAME" names, NAME taken relative to `folder` unless absolute.
/// A name with '*' or '?' in its last part deletes every matching entry of that
/// folder; a plain name deletes that entry, or, when it does not exist, every
/// entry whose name equals it apart from letter case (Windows names ignore case).
/// Folders are never deleted. A plain name that matches nothing is a problem ("could not
/// find"); a pattern that matches nothing deletes nothing and is none.
DeleteResult deleteFiles(const std::filesystem::path& folder, const std::string& name);

/// Finds the program of a batch line in `folder`: "name.exe" as given,
/// "name" as "name.exe" first and then as given; each first exactly, then
/// ignoring letter case. Returns the absolute path, or nothing.
std::optional<std::filesystem::path> findProgram(const std::filesystem::path& folder,
                                                 const std::string& name);

/// The entries of `folder` (not folders) whose name equals `name` apart from
/// letter case, sorted by name. Unreadable folders yield none.
std::vector<std::filesystem::path> findIgnoringCase(const std::filesystem::path& folder,
                                                    const std::string& name);

} // namespace batchrun
