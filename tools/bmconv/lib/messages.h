// Console texts and exit codes shared by compiling, listing and splitting.
#pragma once
#include <ostream>
#include <string>

namespace bmconv {

enum ExitCode : int {
    kSuccess = 0,
    kOutOfMemory = 1,
    kFileDoesNotExist = 3,
    kBadSourceFile = 4,
    kBadDestinationFile = 5,
    kBadCommandFile = 6,
    kSourceTargetMismatch = 7,
    kTooManyArguments = 8,
    kUnknownCompression = 9,
    kCompressionError = 10,
    kDecompressionError = 11,
    kInvalidBitmapMode = 12,
    kBadPaletteFile = 13,
    kPalettesNotSupported = 14,
    kAlphaFileMissing = 15,
    kAlphaSizeMismatch = 16,
    kAlphaNot8bpp = 17,
};

/// The message the SDK tool prints for an exit code ("Success." for 0).
const char* messageFor(int code);

/// Two empty lines, then our version line.
void printBanner(std::ostream& out);

/// The version line of our converter (without line end).
const char* versionLine();

} // namespace bmconv
