// The converter's reading of a colour switch, for the programs built on the converter library.
#pragma once
#include "pixels.h"

#include <optional>
#include <string>

namespace bmconv {

/// The colour mode that `text`, a switch alone ("/1", "/c12", "/c32a", ...), asks for, read
/// exactly as the converter reads the switch of a source; nothing when `text` does not start
/// with '/', names no colour mode or carries more than the switch.
std::optional<BitmapMode> modeOfColourSwitch(const std::string& text);

} // namespace bmconv
