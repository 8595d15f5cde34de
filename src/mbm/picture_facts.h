// The facts of a previewed picture: what it is, what its switch keeps of it, what it costs
// in the archive and, for a bitmap read from an archive, where it came from.
#pragma once
#include "mbm/stored_preview.h"
#include "project/archive_type.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

/// The source format and depth of a picture in words ("JPEG, 24-bit", "GIF, 8-bit",
/// "BMP, 1-bit"). `format` is the reader's format name, `head` the first bytes of the file
/// (64 are enough), `picture` the picture as read; the depth comes from the file's header
/// where the format has one, else from the picture.
QString sourceDescription(const QByteArray& format, const QByteArray& head, const QImage& picture);

/// How many bytes of a file sourceDescription wants to see.
constexpr int kFactsHeadBytes = 64;

/// Everything the preview tells about the picture it shows.
struct PictureFacts {
    QSize size;           ///< pixels
    QString source;       ///< sourceDescription
    QString colourSwitch; ///< the switch the picture is stored with
    QString storeProblem; ///< why the picture cannot be stored (empty when it can)
    StoredSize stored;    ///< its cost in the archive (when storeProblem is empty)
    ArchiveType archiveType = ArchiveType::FileStore; ///< what a save builds, the cost's basis
    bool sizePending = false;                         ///< the cost is still being worked out
    EntryOrigin origin = {}; ///< where a bitmap read from an archive came from
    /// The picture's transparency: "with mask (1-bit)", "with mask (8-bit soft)", or
    /// "transparency lost: 37 % of pixels" (empty when there is nothing to say).
    QString transparency;
};

/// What the facts say about transparency: the mask the entry has (`maskSwitch` "/1" or
/// "/8"), else, when `colourSwitch` keeps no alpha, the share of `picture`'s pixels that are
/// not fully opaque; empty when the picture is opaque or keeps its alpha.
QString transparencyText(const QImage& picture, const QString& colourSwitch,
                         const QString& maskSwitch);

/// The facts in one line, parts separated by " · ": "176 × 208 · JPEG, 24-bit · /c12:
/// 4,096 colours · 52,180 bytes in a file store, 12-bit RLE" and, for an archive entry,
/// " · icons.mbm #3, ROM image".
QString factsLine(const PictureFacts& facts);

/// factsLine shortened until `widthOf` it is at most `available`, one part at a time: the
/// origin's store type goes, then the archive type with the size, then the switch's meaning,
/// then the source. The shortest form when none fits.
QString factsLineWithin(const PictureFacts& facts,
                        const std::function<int(const QString&)>& widthOf, int available);

/// The whole facts, one a line, for the tooltip.
QString factsTooltip(const PictureFacts& facts);
