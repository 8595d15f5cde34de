// The masks the editor makes from a picture's transparency, and how a 1-bit mask is drawn.
#pragma once

/// Which mask an added picture with transparency gets: none, a 1-bit mask (/1) or an 8-bit
/// grey mask (/8) that is its alpha channel.
enum class MaskKind { None, OneBit, EightBit };

/// The mask settings of the project (Tools > Masks from transparency).
struct MaskSettings {
    MaskKind kind = MaskKind::None;
    /// A 1-bit mask is white where the icon is drawn (else black, as the demo icons).
    bool whiteWhereDrawn = false;
};
