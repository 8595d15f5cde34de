// Helpers for the reading tests: building archives byte by byte, temporary folders, files.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace readtest {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

inline void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

inline void set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

/// One bitmap as it is stored: header fields and the stored data.
struct StoredBitmap {
    int32_t width = 1, height = 1;
    int32_t bpp = 24;
    uint32_t colour = 1;
    uint32_t compression = 0;
    Bytes data;
    int32_t twipsWidth = 0, twipsHeight = 0;
};

inline Bytes headerOf(const StoredBitmap& b) {
    Bytes h;
    put32(h, uint32_t(40 + b.data.size()));
    put32(h, 40);
    put32(h, uint32_t(b.width));
    put32(h, uint32_t(b.height));
    put32(h, uint32_t(b.twipsWidth));
    put32(h, uint32_t(b.twipsHeight));
    put32(h, uint32_t(b.bpp));
    put32(h, b.colour);
    put32(h, 0);
    put32(h, b.compression);
    return h;
}

/// A file store holding `bitmaps` in order, as the converter writes it.
inline Bytes fileStore(const std::vector<StoredBitmap>& bitmaps) {
    Bytes out;
    for (uint32_t v : {0x10000037u, 0x10000042u, 0u, 0x47396439u, 0u})
        put32(out, v);
    std::vector<uint32_t> offsets;
    for (const StoredBitmap& b : bitmaps) {
        offsets.push_back(uint32_t(out.size()));
        Bytes h = headerOf(b);
        out.insert(out.end(), h.begin(), h.end());
        out.insert(out.end(), b.data.begin(), b.data.end());
    }
    set32(out, 16, uint32_t(out.size()));
    put32(out, uint32_t(offsets.size()));
    for (uint32_t o : offsets)
        put32(out, o);
    return out;
}

inline uint32_t displayModeOf(const StoredBitmap& b) {
    switch (b.bpp) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 4:
        return b.colour ? 5 : 3;
    case 8:
        return b.colour ? 6 : 4;
    case 12:
        return 10;
    case 16:
        return 7;
    case 24:
        return 8;
    default:
        return b.colour == 1 ? 11 : 12;
    }
}

/// A ROM image holding `bitmaps`; `stride` gives each bitmap's row length in bytes.
inline Bytes romImage(const std::vector<StoredBitmap>& bitmaps,
                      const std::vector<uint32_t>& strides) {
    Bytes out;
    put32(out, 0x10000041);
    put32(out, uint32_t(bitmaps.size()));
    uint32_t offset = uint32_t(8 + 4 * bitmaps.size());
    for (const StoredBitmap& b : bitmaps) {
        put32(out, offset);
        offset += uint32_t(68 + (b.data.size() + 3) / 4 * 4);
    }
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const StoredBitmap& b = bitmaps[i];
        for (uint32_t v : {0x10000040u, displayModeOf(b), 0u, 0u, strides[i]})
            put32(out, v);
        Bytes h = headerOf(b);
        out.insert(out.end(), h.begin(), h.end());
        put32(out, 0xFFFFFFFF);
        put32(out, 68);
        out.insert(out.end(), b.data.begin(), b.data.end());
        while (out.size() % 4)
            out.push_back(0xFF);
    }
    return out;
}

inline Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        static int serial = 0;
        path_ = fs::temp_directory_path() /
                ("bmconv-read-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

/// The lines of `text`, split at LF.
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

/// The tests' data (tests/data in the tree unless configured otherwise).
inline const fs::path kData = ZEMBREL_TESTDATA;

/// The archives (*.mbm) of `folder`, sorted; none, with a message on stderr, when the
/// folder cannot be read. Parameterised suites take their cases from here while the program
/// lists its tests, where an exception would end it before any test could fail.
inline std::vector<fs::path> archivesIn(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == ".mbm") found.push_back(it->path());
    if (error)
        std::fprintf(stderr, "cannot read the test data folder %s: %s\n", folder.string().c_str(),
                     error.message().c_str());
    std::sort(found.begin(), found.end());
    return found;
}

/// Every archive of the reference corpus, then every real archive.
inline std::vector<fs::path> allArchives() {
    std::vector<fs::path> all = archivesIn(kData / "bmconv-reference" / "ref");
    const std::vector<fs::path> real = archivesIn(kData / "real-mbm");
    all.insert(all.end(), real.begin(), real.end());
    return all;
}

/// The reference splits beside an archive: <name>.u0.bmp, <name>.u1.bmp, ... as far as
/// present.
inline std::vector<fs::path> referenceSplits(const fs::path& archive) {
    std::vector<fs::path> splits;
    for (int k = 0;; ++k) {
        fs::path p = archive;
        p.replace_extension(".u" + std::to_string(k) + ".bmp");
        if (!fs::exists(p)) return splits;
        splits.push_back(p);
    }
}

} // namespace readtest
