#include "messages.h"

namespace bmconv {

const char* messageFor(int code) {
    switch (code) {
    case kSuccess:
        return "Success.";
    case kOutOfMemory:
        return "Out of memory.";
    case kFileDoesNotExist:
        return "File does not exist";
    case kBadSourceFile:
        return "Bad source file(s).";
    case kBadDestinationFile:
        return "Bad destination file(s).";
    case kBadCommandFile:
        return "Bad command file.";
    case kSourceTargetMismatch:
        return "Number of sources/targets mismatch.";
    case kTooManyArguments:
        return "Too many arguments.";
    case kUnknownCompression:
        return "Unknown source compression type.";
    case kCompressionError:
        return "Compression error.";
    case kDecompressionError:
        return "Decompression error.";
    case kInvalidBitmapMode:
        return "Invalid bitmap mode specified.";
    case kBadPaletteFile:
        return "Bad palette file.";
    case kPalettesNotSupported:
        return "Palettes not supported";
    case kAlphaFileMissing:
        return "Alpha bitmap file does not exist";
    case kAlphaSizeMismatch:
        return "Alpha channel bitmap's dimensions don't match pixel bitmap's dimensions.";
    case kAlphaNot8bpp:
        return "Alpha channel bitmap must be 8bpp.";
    default:
        return "Unknown error.";
    }
}

const char* versionLine() {
    return "BMCONV version 119 (MBM Zembrel).";
}

void printBanner(std::ostream& out) {
    out << "\n\n" << versionLine() << "\n";
}

} // namespace bmconv
