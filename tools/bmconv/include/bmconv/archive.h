// What a bitmap costs in an archive and what the converter takes, for the programs built on
// the converter library: the archive's fixed layout (bitmapBytes), the compression of a
// pixel buffer as the converter compresses it (compressPixels), and the largest picture
// the converter reads (kMaxBmpDimension, kMaxBmpPixels).
#pragma once
#include "../../lib/bmp_read.h"
#include "../../lib/compress.h"
#include "../../lib/mbm_layout.h"
