// File-name comparison the way Windows does it: letters without regard to
// case, and the wildcards '*' and '?'.
#pragma once

#include <string>
#include <string_view>

namespace batchrun {

/// Lower-cases the ASCII letters; every other byte stays as it is (the text is
/// in an 8-bit code page whose other letters this program cannot know).
std::string toLowerAscii(std::string_view s);

/// True when a and b are equal apart from the case of ASCII letters.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

/// True when the name holds '*' or '?'.
bool hasWildcard(std::string_view name);

/// Matches a file name against a pattern, ASCII case ignored: '*' stands for
/// any run of characters (dots included), '?' for exactly one character. As
/// on Windows, a pattern ending in ".*" also matches names without extension
/// ("*.*" matches every name, "a.*" matches "a").
bool wildcardMatch(std::string_view pattern, std::string_view name);

} // namespace batchrun
