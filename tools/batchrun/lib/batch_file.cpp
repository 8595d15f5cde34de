#include "batch_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace batchrun {

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos) end = bytes.size();
        size_t len = end - start;
        if (len > 0 && bytes[start + len - 1] == '\r') --len;
        lines.emplace_back(bytes.substr(start, len));
        start = next;
    }
    return lines;
}

BatchFile readBatchFile(const std::string& path) {
    BatchFile f;
    auto fail = [&](const std::string& why) {
        f.message = "cannot read the batch file " + path + ": " + why;
        return f;
    };
    std::error_code ec;
    const std::filesystem::path p(path);
    auto status = std::filesystem::status(p, ec);
    if (ec) return fail(ec.message());
    if (std::filesystem::is_directory(status)) return fail("it is a folder");
    auto size = std::filesystem::is_regular_file(status) ? std::filesystem::file_size(p, ec) : 0;
    if (!ec && size > kMaxBatchBytes)
        return fail("it is larger than " + std::to_string(kMaxBatchBytes / (1024 * 1024)) +
                    " MB, which is no batch file this program writes");

    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return fail(std::strerror(errno));
    std::string bytes;
    char buf[65536];
    size_t got;
    // Read up to the limit whatever stat said; the file may grow meanwhile.
    while ((got = std::fread(buf, 1, sizeof buf, in)) > 0 && bytes.size() <= kMaxBatchBytes)
        bytes.append(buf, got);
    bool readError = std::ferror(in) != 0;
    int error = errno;
    std::fclose(in);
    if (readError) return fail(std::strerror(error));
    if (bytes.size() > kMaxBatchBytes) return fail("it grew too large while being read");
    f.lines = splitLines(bytes);
    f.ok = true;
    return f;
}

} // namespace batchrun
