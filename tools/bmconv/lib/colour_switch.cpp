#include "../include/bmconv/colour_switch.h"

#include "cli.h"

namespace bmconv {

std::optional<BitmapMode> modeOfColourSwitch(const std::string& text) {
    if (text.empty() || text[0] != '/') return std::nullopt;
    const SourceArg source = parseSource(text);
    if (!source.modeValid || !source.name.empty()) return std::nullopt;
    return source.mode;
}

} // namespace bmconv
