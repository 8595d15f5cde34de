#include "temp_file.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace bmconv {

bool TempFile::create(const std::string& destination) {
    abandon();
    destination_ = destination;
    // Unique per process and per file, so two outputs of one name never share a temporary.
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        tempPath_ = destination + ".~" + std::to_string(long(getpid())) + "-" +
                    std::to_string(serial++) + ".tmp";
        // "x" refuses an existing file.
        file_ = std::fopen(tempPath_.c_str(), "wbx");
    }
    if (!file_) tempPath_.clear();
    return file_ != nullptr;
}

bool TempFile::close() {
    if (!file_) return false;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

bool TempFile::publish() {
    if (file_ || tempPath_.empty()) return false;
    if (std::rename(tempPath_.c_str(), destination_.c_str()) != 0) {
#ifdef _WIN32
        // Windows refuses to rename over an existing file.
        std::remove(destination_.c_str());
        if (std::rename(tempPath_.c_str(), destination_.c_str()) != 0) return false;
#else
        // Elsewhere a rename replaces the file at once, so a failure leaves the old file be.
        return false;
#endif
    }
    tempPath_.clear();
    return true;
}

void TempFile::abandon() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!tempPath_.empty()) {
        std::remove(tempPath_.c_str());
        tempPath_.clear();
    }
}

} // namespace bmconv
