// Compiling BMP pictures into an archive: the job, its report and its exit code.
#pragma once
#include "mbm_write.h"
#include "pixel_encode.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace bmconv {

/// One source picture as the command line names it.
struct SourceArg {
    std::string token;     ///< as given, switch included
    std::string name;      ///< file name, switch removed
    bool modeValid = true; ///< false when the switch names no colour mode
    BitmapMode mode = BitmapMode::Grey2;
};

/// Everything a compile needs.
struct CompileRequest {
    StoreKind store = StoreKind::File;
    bool noCompression = false;
    bool quiet = false;
    std::string headerPath; ///< /h: identifier header to write, empty for none
    /// /i: a file naming the archive and each source for the header's identifiers (instead
    /// of the destination's and the sources' file names), empty for none. Needs /h.
    std::string identifierNamesPath;
    std::string palettePath; ///< /p: palette file for /c8, empty for none
    std::string destination;
    std::vector<SourceArg> sources;
    size_t reportedSources = 0; ///< how many sources the report lists (the first ones)
};

/// Compiles the sources in order into the destination and prints the report (all of it
/// unless quiet and successful). Returns 0 or the SDK tool's exit code; on any error the
/// destination no longer exists afterwards. The header is written only once every source
/// was compiled, and removed again when the archive cannot be written.
int compileArchive(const CompileRequest& request, std::ostream& out);

/// Whether a compile of several pictures prepares them on two threads (on by default where
/// the system has two cores; the output is the same either way). Returns the setting it
/// replaces; tests compare both.
bool setParallelCompile(bool on);

/// For tests of the two-thread compile: called on the preparing thread just before source
/// `index` is prepared (`done` false) and just after (`done` true). Empty for none.
using PrepareObserver = std::function<void(size_t index, bool done)>;
void setPrepareObserver(PrepareObserver observer);

/// Twips for `pixels` at `pixelsPerMetre`, computed in the SDK converter's 32-bit
/// arithmetic; 0 when the resolution is not positive.
int32_t twipsFor(int32_t pixels, int32_t pixelsPerMetre);

/// The name of the alpha picture for a /c32a source: "-alpha" inserted before the extension
/// ("pic.bmp" gives "pic-alpha.bmp"), or appended when the name has none.
std::string alphaFileName(const std::string& sourceName);

} // namespace bmconv
