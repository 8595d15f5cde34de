#include "cli.h"

#include "command_file.h"
#include "compile.h"
#include "mbm_read.h"
#include "messages.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace bmconv {
namespace {

void printUsage(std::ostream& out) {
    printBanner(out);
    out << "Compile:  bmconv [/n|/r|/s] [/h<header> [/i<names>]] [/q] [/p<palette>] <archive.mbm>"
           " [/<switch>]<picture.bmp> ...\n"
           "          switches: /1 /2 /4 /8 (grey), /c4 /c8 /c12 /c16 /c24 /c32 /c32a (colour)\n"
           "          /n no compression, /r ROM image, /s compressed ROM image, /q quiet\n"
           "          /i a file naming the archive and each picture, one a line, for the\n"
           "             header's identifiers\n"
           "List:     bmconv /v <archive.mbm>\n"
           "Split:    bmconv /u <archive.mbm> <picture.bmp> ...\n"
           "Command file: bmconv <file> (the same arguments, separated by blanks or lines)\n";
}

/// Banner, an optional detail line, and the message of `code`.
int fail(std::ostream& out, int code, const std::string& detail = "") {
    printBanner(out);
    if (!detail.empty()) out << detail << "\n";
    out << messageFor(code) << "\n";
    return code;
}

#ifndef _WIN32
bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}
#endif

/// On Linux and macOS a token starting with '/' may be an absolute path: it is one when it
/// names something that exists, or when the folder it names exists (a new output file).
bool isPathToken(const std::string& token) {
#ifdef _WIN32
    (void)token;
    return false;
#else
    if (token.empty() || token[0] != '/') return false;
    if (exists(token)) return true;
    const size_t slash = token.find_last_of('/');
    return slash > 0 && exists(token.substr(0, slash));
#endif
}

/// The option letter of `token` (lower-case), or 0 when it is not an option.
char optionLetter(const std::string& token) {
    if (token.size() < 2 || (token[0] != '/' && token[0] != '-') || isPathToken(token)) return 0;
    return char(std::tolower(static_cast<unsigned char>(token[1])));
}

std::optional<BitmapMode> modeFor(bool colour, int bpp, bool alpha) {
    if (!colour) {
        switch (bpp) {
        case 1:
            return BitmapMode::Grey1;
        case 2:
            return BitmapMode::Grey2;
        case 4:
            return BitmapMode::Grey4;
        case 8:
            return BitmapMode::Grey8;
        default:
            return std::nullopt;
        }
    }
    switch (bpp) {
    case 4:
        return BitmapMode::C4;
    case 8:
        return BitmapMode::C8;
    case 12:
        return BitmapMode::C12;
    case 16:
        return BitmapMode::C16;
    case 24:
        return BitmapMode::C24;
    case 32:
        return alpha ? BitmapMode::C32A : BitmapMode::C32;
    default:
        return std::nullopt;
    }
}

} // namespace

SourceArg parseSource(const std::string& token) {
    SourceArg source;
    source.token = token;
    if (token.empty() || (token[0] != '/' && token[0] != '-') || isPathToken(token)) {
        source.name = token; // no switch: 2 bpp grey
        return source;
    }
    size_t i = 1;
    const bool colour = i < token.size() && token[i] == 'c';
    if (colour) ++i;
    int bpp = -1;
    if (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) {
        bpp = token[i++] - '0';
        if (i < token.size() && (token[i] == '2' || token[i] == '4' || token[i] == '6'))
            bpp = bpp * 10 + (token[i++] - '0');
    }
    const bool alpha = colour && bpp == 32 && i < token.size() && token[i] == 'a';
    if (alpha) ++i;
    source.name = token.substr(i);
    const std::optional<BitmapMode> mode = modeFor(colour, bpp, alpha);
    source.modeValid = mode.has_value();
    if (mode) source.mode = *mode;
    return source;
}

namespace {

int runList(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 2) return fail(out, kFileDoesNotExist, "No archive named after /v");
    if (args.size() > 2) return fail(out, kTooManyArguments);
    return listArchive(args[1], out);
}

int runSplit(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 2) return fail(out, kFileDoesNotExist, "No archive named after /u");
    return splitArchive(args[1], std::vector<std::string>(args.begin() + 2, args.end()), out);
}

int runCompile(const std::vector<std::string>& args, bool lastCounted, std::ostream& out) {
    CompileRequest request;
    bool rom = false, compressedRom = false;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const char letter = optionLetter(args[i]);
        if (letter == 0) break;
        const std::string value = args[i].substr(2);
        // Flags stand alone, so "/nosuchfolder/x.mbm" is not taken for /n.
        const bool flag = letter == 'r' || letter == 's' || letter == 'n' || letter == 'q';
        if (flag && !value.empty()) {
            return fail(out, kBadDestinationFile,
                        "Unknown option " + args[i] +
                            " (or a path into a folder that does not exist)");
        }
        switch (letter) {
        case 'r':
            rom = true;
            break;
        case 's':
            compressedRom = true;
            break;
        case 'n':
            request.noCompression = true;
            break;
        case 'q':
            request.quiet = true;
            break;
        case 'h':
            request.headerPath = value;
            break;
        case 'i':
            request.identifierNamesPath = value;
            break;
        case 'p':
            request.palettePath = value;
            break;
        default:
            return fail(out, kBadDestinationFile,
                        "Unknown option " + args[i] +
                            " (options come before the archive name;"
                            " /u and /v only first)");
        }
    }
    if (rom && compressedRom) return fail(out, kTooManyArguments, "/r and /s exclude each other");
    request.store = rom             ? StoreKind::Rom
                    : compressedRom ? StoreKind::CompressedRom
                                    : StoreKind::File;
    if (i + 1 >= args.size()) return fail(out, kSourceTargetMismatch);
    request.destination = args[i];
    for (size_t k = i + 1; k < args.size(); ++k)
        request.sources.push_back(parseSource(args[k]));
    request.reportedSources = request.sources.size() - (lastCounted ? 0 : 1);
    return compileArchive(request, out);
}

int runArguments(const std::vector<std::string>& args, bool lastCounted, std::ostream& out) {
    switch (optionLetter(args[0])) {
    case 'v':
        if (args[0].size() == 2) return runList(args, out);
        break;
    case 'u':
        if (args[0].size() == 2) return runSplit(args, out);
        break;
    default:
        break;
    }
    return runCompile(args, lastCounted, out);
}

int runCommandFile(const std::string& path, std::ostream& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(out, kBadCommandFile, "Cannot open the command file " + path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A binary file (an archive given by mistake) must not turn into file names.
    if (text.find('\0') != std::string::npos)
        return fail(out, kBadCommandFile, path + " is not a text command file");
    const CommandFileTokens parsed = tokenizeCommandFile(text);
    if (!parsed.ok) return fail(out, kBadCommandFile, path + ": " + parsed.error);
    if (parsed.tokens.empty()) return fail(out, kSourceTargetMismatch);
    return runArguments(parsed.tokens, parsed.lastTerminated, out);
}

} // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out) {
    if (args.empty()) {
        printUsage(out);
        return kSuccess;
    }
    if (args.size() == 1) return runCommandFile(args[0], out);
    return runArguments(args, true, out);
}

} // namespace bmconv
