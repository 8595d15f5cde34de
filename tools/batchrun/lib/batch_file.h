// Reading a batch file: the whole file at once, so a batch may delete itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace batchrun {

/// Largest batch file accepted; the editor's batches are a few kilobytes.
constexpr size_t kMaxBatchBytes = 16u * 1024u * 1024u;

/// The lines of a batch file, or why it could not be read.
struct BatchFile {
    bool ok = false;
    std::vector<std::string> lines; ///< without line ends
    std::string message;            ///< when !ok: what failed, for the user
};

/// Splits bytes at LF; a CR right before the LF (or at the very end) is dropped.
/// A last line without line end counts; a final line end adds no empty line.
std::vector<std::string> splitLines(std::string_view bytes);

/// Reads the whole file. Fails (with a message naming the file) when it does not
/// exist, is a folder, cannot be read or is larger than kMaxBatchBytes.
BatchFile readBatchFile(const std::string& path);

} // namespace batchrun
