// Masks made from a picture's transparency: the mask bitmap, its file in the reading work
// folder, the entries an added picture becomes, and the flat colour under transparency.
#pragma once
#include "jobs/result.h"
#include "project/mask_kind.h"
#include "project/project_list.h"

#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

class WorkFolders;

/// The switch a mask of `kind` is stored with: "/1" or "/8" (empty for None).
QString maskSwitch(MaskKind kind);

/// Whether an alpha plane (Format_Indexed8, index = alpha, as ConvertedPicture::alpha) has a
/// pixel that is not fully opaque.
bool hasTransparency(const QImage& alphaPlane);

/// The share of pixels that are not fully opaque, 0 to 1 (0 for a null plane).
double transparentShare(const QImage& alphaPlane);

/// The mask bitmap for an alpha plane. 8-bit: an 8-bit bitmap whose grey level is the alpha
/// exactly as the converter reads it. 1-bit: a 1-bit bitmap, drawn where alpha >= 128, black
/// where drawn unless `whiteWhereDrawn`. Null for MaskKind::None or a null plane.
QImage maskImage(const QImage& alphaPlane, const MaskSettings& settings);

/// `picture` as RGB32 with its fully transparent pixels in one flat colour (black), which
/// are never drawn and so compress best; every other pixel keeps its colour.
QImage flatUnderTransparency(const QImage& picture);

/// The file name for the mask of the picture `pictureName` in `folder` (ending with a
/// separator): "<base name>_mask.bmp", or "<base name>_mask<n>.bmp" from 2 on when a file of
/// that name exists or `taken` holds its path (compared without case).
QString freeMaskName(const QString& pictureName, const QString& folder, const QSet<QString>& taken);

/// What a mask command makes: the entries to insert, and the pictures that got no mask
/// because their mask could not be written (one message each).
struct MaskedEntries {
    std::vector<BitmapEntry> entries;
    QStringList failures;
};

/// The entries that adding `pictures` to `list` makes: with a mask kind chosen, each
/// picture that has transparency followed by its mask entry (at maskSwitch, its file
/// written into tempextract); every other picture alone. A picture that cannot be read is
/// added alone, as without masks.
MaskedEntries entriesWithMasks(const std::vector<BitmapEntry>& pictures,
                               const MaskSettings& settings, WorkFolders& work,
                               const ProjectList& list);

/// One mask to insert: `entry` goes in at `row` of the list as it is before any insertion.
struct MaskInsertion {
    int row = 0;
    BitmapEntry entry;
};

struct MaskInsertions {
    std::vector<MaskInsertion> masks; ///< in ascending row order
    QStringList failures;
};

/// Add mask to selected: for each of `rows` that is no mask and has none yet, and whose
/// picture has transparency, its mask written into tempextract, to go in right after it.
MaskInsertions masksForRows(const ProjectList& list, const std::vector<int>& rows,
                            const MaskSettings& settings, WorkFolders& work);
