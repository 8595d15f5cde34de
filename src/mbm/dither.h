// Error diffusion into the colours a reduced colour depth stores, so that the converter's own
// mapping of the written picture changes nothing more.
#pragma once
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

#include "bmconv/pixels.h"

/// True for the switches whose colours the converter reduces: /1 /2 /4 /8 /c4 /c8 /c12
/// /c16. /c24, /c32 and /c32a keep every colour and are never dithered.
bool reducesColours(bmconv::BitmapMode mode);

/// The mode to dither an entry of switch `colourSwitch` to: its mode when that reduces
/// colours, nothing for /c24, /c32, /c32a and a text that is no switch.
std::optional<bmconv::BitmapMode> ditherModeOf(const QString& colourSwitch);

/// Where the diffusion adds up its errors: in the sRGB values themselves, or in linear light
/// (what a screen emits, so what the eye averages).
enum class DiffusionSpace { Srgb, Linear };

/// The space ditheredPixels works in unless told otherwise (the one the bench chose).
constexpr DiffusionSpace kDefaultDiffusion = DiffusionSpace::Linear;

/// The colours `mode` stores, exactly as a split gives them back, each one the converter
/// maps to itself; for a grey mode its greys. Empty for a mode that keeps every colour.
/// Found by running the converter's own encoding and expansion, never typed in.
QList<QRgb> storedColours(bmconv::BitmapMode mode);

/// True when the converter stores every pixel of `pixels` (RGB32) at `mode` as it is.
bool heldExactly(const QImage& pixels, bmconv::BitmapMode mode);

/// `pixels` (RGB32) reduced to the colours `mode` stores with serpentine Floyd–Steinberg
/// error diffusion (greys by the converter's own luma weights). Returned unchanged when
/// `mode` keeps every colour, when the converter already stores every pixel as it is (a
/// palette icon, a black and white mask), and at /1 and /8 when every pixel is grey: those
/// are the depths of masks, which are never dithered. Null when memory runs out. Dithers in
/// place when `pixels` is the only holder of its picture (move it in to spare a copy).
QImage ditheredPixels(QImage pixels, bmconv::BitmapMode mode,
                      DiffusionSpace space = kDefaultDiffusion);
