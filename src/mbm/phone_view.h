// An icon as the phone draws it: its stored pixels blended through its stored mask over a
// backdrop, and the same pair as one picture with alpha.
#pragma once
#include "jobs/result.h"

#include <QImage>
#include <QString>

/// What the phone's view of an icon is drawn over (View > Backdrop).
enum class Backdrop { Checkerboard, White, Black };

/// A picture file as an archive stores it at `colourSwitch`, expanded as a split gives it
/// back (RGB32, or ARGB32 with the stored alpha for /c32a). Fails with a message when the
/// picture cannot be read or stored.
Status storedPicture(const QString& path, const QString& colourSwitch, QImage& out);

/// The alpha a stored mask gives its icon (Format_Alpha8): for a "/1" mask 255 where it is
/// drawn (black, or white with `whiteWhereDrawn`) and 0 elsewhere; for any other switch its
/// grey level (255 all icon, 0 all background).
QImage maskAlpha(const QImage& storedMask, const QString& maskSwitch, bool whiteWhereDrawn);

/// A backdrop of `size`: white, black, or a checkerboard of 8-pixel light and dark squares.
QImage backdropImage(const QSize& size, Backdrop backdrop);

/// `icon` blended through `alpha` (same size) over `backdrop`: each channel
/// (icon × a + backdrop × (255 − a)) / 255, rounded. RGB32; null when the sizes differ.
QImage blendOver(const QImage& icon, const QImage& alpha, Backdrop backdrop);

/// `icon` with `alpha` as its alpha channel, not premultiplied (ARGB32); null when the
/// sizes differ.
QImage withAlpha(const QImage& icon, const QImage& alpha);

/// The phone's view of the icon at `iconPath` with the mask at `maskPath`, each as stored
/// at its switch, over `backdrop`. Fails when either cannot be stored or their sizes differ.
Status phoneView(const QString& iconPath, const QString& iconSwitch, const QString& maskPath,
                 const QString& maskSwitch, bool whiteWhereDrawn, Backdrop backdrop, QImage& out);
