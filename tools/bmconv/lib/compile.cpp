#include "compile.h"

#include "bmp_source.h"
#include "compile_steps.h"
#include "header_file.h"
#include "messages.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#ifndef _WIN32
#include <thread>
#endif

namespace bmconv {
namespace {

/// Removes a stale or partial output, but never a folder or anything else that is not a file.
void removeOutput(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
}

const char* storeName(StoreKind kind) {
    switch (kind) {
    case StoreKind::File:
        return "File store";
    case StoreKind::Rom:
        return "ROM image store";
    case StoreKind::CompressedRom:
        return "Compressed ROM image store";
    }
    return "";
}

int loadPalette(const std::string& path, C8Table& table, std::ostream& details) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        details << "Cannot open the palette file " << path << "\n";
        return kBadPaletteFile;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::array<Rgb, 256> palette;
    if (!parsePaletteText(text, palette)) {
        details << "The palette file " << path << " holds fewer than 256 entries (0x00BBGGRR)\n";
        return kBadPaletteFile;
    }
    table = makeC8Table(palette);
    return kSuccess;
}

/// Opens the alpha picture of a /c32a source and checks that it fits `image`.
int openAlpha(const SourceArg& source, const BmpSource& image, BmpSource& alpha,
              std::ostream& details) {
    const std::string name = alphaFileName(source.name);
    const BmpDecodeResult bmp = alpha.open(name);
    if (!bmp.ok) {
        details << name << ": " << bmp.message << "\n";
        return bmp.errorCode == kFileDoesNotExist ? kAlphaFileMissing : bmp.errorCode;
    }
    if (bmp.image.bitsPerPixel != 8) {
        details << name << " has " << bmp.image.bitsPerPixel << " bits per pixel\n";
        return kAlphaNot8bpp;
    }
    if (alpha.width() != image.width() || alpha.height() != image.height()) {
        details << name << " is " << alpha.width() << " x " << alpha.height() << ", " << source.name
                << " is " << image.width() << " x " << image.height() << "\n";
        return kAlphaSizeMismatch;
    }
    return kSuccess;
}

} // namespace

int prepareSource(const CompileRequest& request, const SourceArg& source, const C8Table* c8,
                  CompileState& state, PreparedSource& prepared, std::ostream& details) {
    if (!source.modeValid) {
        details << source.token << ": no such colour mode (use /1 /2 /4 /8 /c4 /c8 /c12 /c16"
                << " /c24 /c32 or /c32a before the file name)\n";
        return kInvalidBitmapMode;
    }
    const BmpDecodeResult bmp = state.picture.open(source.name);
    if (!bmp.ok) {
        details << source.name << ": " << bmp.message << "\n";
        return bmp.errorCode;
    }
    const BmpImage& image = bmp.image;
    // The SDK tool stores such a picture, but no phone (and no reader) accepts the result.
    if (image.width == 0 || image.height == 0) {
        details << source.name << ": the picture has no pixels (" << image.width << " x "
                << image.height << ")\n";
        return kBadSourceFile;
    }
    const bool withAlpha = source.mode == BitmapMode::C32A;
    if (withAlpha) {
        const int code = openAlpha(source, state.picture, state.alpha, details);
        if (code != kSuccess) return code;
    }
    const ModeTraits traits = traitsOf(source.mode);
    BitmapJob job;
    job.mode = source.mode;
    job.c8 = c8;
    job.compress = request.store != StoreKind::Rom && !request.noCompression;
    job.record.width = image.width;
    job.record.height = image.height;
    job.record.twipsWidth = twipsFor(image.width, image.xPelsPerMeter);
    job.record.twipsHeight = twipsFor(image.height, image.yPelsPerMeter);
    job.record.bpp = uint32_t(traits.bpp);
    job.record.colour = uint32_t(traits.colour);
    job.record.stride = uint32_t(strideFor(traits.bpp, uint64_t(image.width)));
    job.record.romMode = uint32_t(traits.romMode);
    prepared.job = job;
    prepared.withAlpha = withAlpha;
    prepared.result = prepareBitmap(state.picture, withAlpha ? &state.alpha : nullptr, job,
                                    state.scratch, prepared.bitmap);
    if (prepared.result == PrepareResult::SourceUnreadable) {
        details << source.name << ": cannot read " << source.name << "\n";
        return kBadSourceFile;
    }
    return kSuccess;
}

int finishSource(const CompileRequest& request, const SourceArg& source, ArchiveWriter& writer,
                 CompileState& state, const PreparedSource& prepared, std::ostream& details) {
    AppendResult result = AppendResult::Ok;
    if (prepared.result == PrepareResult::Ready) {
        const PreparedBitmap& b = prepared.bitmap;
        if (!writer.add(b.record, b.data, b.size)) result = AppendResult::ArchiveUnwritable;
    } else {
        result = appendBitmap(state.picture, prepared.withAlpha ? &state.alpha : nullptr,
                              prepared.job, writer, state.scratch);
    }
    switch (result) {
    case AppendResult::Ok:
        return kSuccess;
    case AppendResult::SourceUnreadable:
        details << source.name << ": cannot read " << source.name << "\n";
        return kBadSourceFile;
    case AppendResult::ArchiveUnwritable:
        break;
    }
    details << "Cannot write " << request.destination << "\n";
    return kBadDestinationFile;
}

namespace {

/// Converts, compresses and appends one source.
int addSource(const CompileRequest& request, const SourceArg& source, const C8Table* c8,
              ArchiveWriter& writer, CompileState& state, std::ostream& details) {
    PreparedSource prepared;
    const int code = prepareSource(request, source, c8, state, prepared, details);
    if (code != kSuccess) return code;
    return finishSource(request, source, writer, state, prepared, details);
}

std::atomic<bool> gParallel{true};

// The Windows build links no thread library and compiles one by one.
#ifndef _WIN32
bool worthParallel(size_t sources) {
    return gParallel.load() && sources >= 4 && std::thread::hardware_concurrency() >= 2;
}
#endif

/// The names the header's identifiers are made from: the archive's first, then each
/// source's, from the /i file or else the command line.
int identifierNames(const CompileRequest& request, std::vector<std::string>& names,
                    std::ostream& details) {
    if (request.identifierNamesPath.empty()) {
        names.push_back(request.destination);
        for (const SourceArg& source : request.sources)
            names.push_back(source.name);
        return kSuccess;
    }
    if (request.headerPath.empty()) {
        details << "/i names the identifiers of a header: it needs /h\n";
        return kBadCommandFile;
    }
    std::string error;
    if (!readIdentifierNames(request.identifierNamesPath, names, error)) {
        details << error << "\n";
        return kBadCommandFile;
    }
    if (names.size() != request.sources.size() + 1) {
        details << request.identifierNamesPath << " holds " << names.size()
                << " names; the archive and its " << request.sources.size() << " bitmaps need "
                << request.sources.size() + 1 << "\n";
        return kSourceTargetMismatch;
    }
    return kSuccess;
}

int compileSources(const CompileRequest& request, std::ostream& details) {
    std::vector<std::string> names;
    if (!request.headerPath.empty() || !request.identifierNamesPath.empty()) {
        const int code = identifierNames(request, names, details);
        if (code != kSuccess) return code;
    }
    C8Table custom;
    const C8Table* c8 = nullptr;
    if (!request.palettePath.empty()) {
        const int code = loadPalette(request.palettePath, custom, details);
        if (code != kSuccess) return code;
        c8 = &custom;
    }
    ArchiveWriter writer;
    if (!writer.open(request.destination, request.store, request.sources.size())) {
        details << "Cannot create " << request.destination << "\n";
        return kBadDestinationFile;
    }
#ifndef _WIN32
    if (worthParallel(request.sources.size())) {
        const int code = addSourcesInParallel(request, c8, writer, details);
        if (code != kSuccess) return code;
    } else
#endif
    {
        CompileState state;
        for (const SourceArg& source : request.sources) {
            const int code = addSource(request, source, c8, writer, state, details);
            if (code != kSuccess) return code;
        }
    }
    if (!request.headerPath.empty()) {
        const std::vector<std::string> sourceNames(names.begin() + 1, names.end());
        const std::string text = makeHeaderText(request.headerPath, names.front(), sourceNames);
        if (!writeHeaderFile(request.headerPath, text)) {
            details << "Cannot write the header " << request.headerPath << "\n";
            return kBadDestinationFile;
        }
    }
    if (!writer.commit()) {
        details << "Cannot write " << request.destination << "\n";
        if (!request.headerPath.empty()) removeOutput(request.headerPath);
        return kBadDestinationFile;
    }
    return kSuccess;
}

} // namespace

bool setParallelCompile(bool on) {
    return gParallel.exchange(on);
}

namespace {
PrepareObserver gObserver;
}

void setPrepareObserver(PrepareObserver observer) {
    gObserver = std::move(observer);
}

void observePrepare(size_t index, bool done) {
    if (gObserver) gObserver(index, done);
}

int32_t twipsFor(int32_t pixels, int32_t pixelsPerMetre) {
    if (pixelsPerMetre <= 0) return 0;
    const int32_t scaled = int32_t(uint32_t(uint64_t(int64_t(pixels) * 1440000)));
    return scaled / 254 / pixelsPerMetre;
}

std::string alphaFileName(const std::string& sourceName) {
    const size_t slash = sourceName.find_last_of("/\\");
    const size_t dot = sourceName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return sourceName + "-alpha";
    return sourceName.substr(0, dot) + "-alpha" + sourceName.substr(dot);
}

int compileArchive(const CompileRequest& request, std::ostream& out) {
    std::ostringstream report;
    printBanner(report);
    report << "Compiling...\n"
           << "Multiple bitmap store type: " << storeName(request.store) << "\n"
           << "Epoc file: " << request.destination << "\n\n";
    for (size_t i = 0; i < request.reportedSources && i < request.sources.size(); ++i)
        report << "Bitmap file " << i + 1 << "\t: " << request.sources[i].name << "\n";
    int code;
    try {
        code = compileSources(request, report);
    } catch (const std::bad_alloc&) {
        // The writer has removed its temporary file on the way out.
        report << "Not enough memory to compile " << request.destination << "\n";
        code = kOutOfMemory;
    }
    if (code != kSuccess) removeOutput(request.destination);
    report << messageFor(code) << "\n";
    if (!(request.quiet && code == kSuccess)) out << report.str();
    return code;
}

} // namespace bmconv
