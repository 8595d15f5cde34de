// The converter's colour modes and pixel buffers, for the programs built on the converter
// library: a mode's traits, the encoding of picture rows into an archive's pixel buffer
// (encodeRows) and back to colour (RowExpander), the row length (strideFor), and the fixed
// 16- and 256-colour palettes (palette16, palette256) the colour modes map to.
#pragma once
#include "../../lib/mbm_pixels.h"
#include "../../lib/mbm_stride.h"
#include "../../lib/palette.h"
#include "../../lib/pixel_encode.h"
