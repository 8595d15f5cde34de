// Helpers for the compiling tests: BMP files built byte by byte, temporary folders, files,
// and running the converter program.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace compiletest {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
inline uint32_t get32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

/// What goes into a test BMP. `pixels` are the stored pixel bytes (rows as the file holds
/// them, padding included); palette entries are R, G, B.
struct BmpLayout {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bpp = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    int32_t ppm = 2835;
    std::vector<uint32_t> masks; // written after a 40-byte header or inside a larger one
    std::vector<std::array<uint8_t, 3>> palette;
    Bytes pixels;
};

/// Builds the file bytes of `s`; the pixel offset in the file header points at the pixels.
inline Bytes makeBmp(const BmpLayout& s) {
    Bytes info;
    if (s.headerSize == 12) {
        put32(info, 12);
        put16(info, uint32_t(s.width));
        put16(info, uint32_t(s.height));
        put16(info, 1);
        put16(info, s.bpp);
    } else {
        put32(info, s.headerSize);
        put32(info, uint32_t(s.width));
        put32(info, uint32_t(s.height));
        put16(info, 1);
        put16(info, s.bpp);
        put32(info, s.compression);
        put32(info, uint32_t(s.pixels.size()));
        put32(info, uint32_t(s.ppm));
        put32(info, uint32_t(s.ppm));
        put32(info, s.clrUsed);
        put32(info, 0);
        for (uint32_t m : s.masks)
            put32(info, m);
        while (s.headerSize > 40 && info.size() < s.headerSize)
            info.push_back(0);
    }
    for (const auto& e : s.palette) {
        info.push_back(e[2]);
        info.push_back(e[1]);
        info.push_back(e[0]);
        if (s.headerSize != 12) info.push_back(0);
    }
    Bytes out = {'B', 'M'};
    put32(out, uint32_t(14 + info.size() + s.pixels.size()));
    put32(out, 0);
    put32(out, uint32_t(14 + info.size()));
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

/// A 24-bit bottom-up BMP of `rgb` (R, G, B per pixel, top row first).
inline Bytes make24(int32_t w, int32_t h, const Bytes& rgb, int32_t ppm = 2835) {
    BmpLayout s;
    s.ppm = ppm;
    s.width = w;
    s.height = h;
    const size_t row = (size_t(w) * 3 + 3) / 4 * 4;
    for (int32_t y = h - 1; y >= 0; --y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            s.pixels.insert(s.pixels.end(), {p[2], p[1], p[0]});
        }
        s.pixels.resize(s.pixels.size() + row - size_t(w) * 3, 0);
    }
    return makeBmp(s);
}

/// An 8-bit bottom-up grey-palette BMP whose index bytes are `values` (top row first).
inline Bytes make8(int32_t w, int32_t h, const Bytes& values) {
    BmpLayout s;
    s.width = w;
    s.height = h;
    s.bpp = 8;
    for (int i = 0; i < 256; ++i)
        s.palette.push_back({uint8_t(i), uint8_t(i), uint8_t(i)});
    const size_t row = (size_t(w) + 3) / 4 * 4;
    for (int32_t y = h - 1; y >= 0; --y) {
        s.pixels.insert(s.pixels.end(), values.begin() + y * w, values.begin() + (y + 1) * w);
        s.pixels.resize(s.pixels.size() + row - size_t(w), 0);
    }
    return makeBmp(s);
}

inline void writeFile(const fs::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}
inline void writeText(const fs::path& p, const std::string& s) {
    std::ofstream(p, std::ios::binary) << s;
}
inline Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
inline std::string readText(const fs::path& p) {
    const Bytes b = readFile(p);
    return std::string(b.begin(), b.end());
}

/// A fresh folder under the temp folder, removed with its contents at the end.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "bmconv-compile-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = fs::canonical(pattern);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    std::string str(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

/// Runs build/bin/bmconv.exe with `args` in folder `cwd`; standard output goes to
/// `cwd/stdout.txt`. Returns the exit code (-1 when it did not exit normally).
inline int runBmconv(const fs::path& cwd, const std::vector<std::string>& args) {
    const std::string exe = std::string(ZEMBREL_BIN_DIR) + "/bmconv.exe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(cwd.c_str()) != 0) ::_exit(126);
        if (!::freopen("stdout.txt", "w", stdout)) ::_exit(126);
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace compiletest
