// The plan of one save: what the conversion writes into temp, the command file and the
// build batch, and where the result goes.
#pragma once
#include "jobs/program_folder.h"
#include "jobs/work_folders.h"
#include "project/project_list.h"

#include "bmconv/pixels.h"

#include <QStringList>
#include <vector>

/// Where a save dialog's answer sends the archive.
struct SaveTarget {
    QString myfile;  ///< the full target path, ".mbm" appended when it did not end so
    QString mytitle; ///< the dialog's file title, as reported (no extension appended)
};

/// The target for a path chosen in the save dialog: ".mbm" is appended unless the last four
/// characters are exactly ".mbm" (so "x.MBM" becomes "x.MBM.mbm").
SaveTarget targetFromDialog(const QString& chosenPath, const QString& fileTitle);

/// What a save builds besides the bitmaps themselves.
struct SaveOptions {
    ArchiveType type = ArchiveType::FileStore; ///< the kind of archive
    bool header = false; ///< also write the C++ header of bitmap identifiers (.mbg)
    bool dither = false; ///< dither the pictures of switches that reduce colours (ditheredPixels)
};

/// The converter's option for `type`: "" (file store), "/n", "/r" or "/s".
QString storeOptionFor(ArchiveType type);

/// Where the header of an archive saved to `target` goes: beside it, named like it with
/// ".mbg" in place of a final ".mbm" (of any case), or appended when there is none.
QString headerTargetFor(const QString& target);

/// The colour switch that makes the converter read an alpha file beside the bitmap.
inline const QString kAlphaSwitch = QStringLiteral("/c32a");

/// One picture the conversion writes as a bitmap into temp.
struct PictureJob {
    QString dir;            ///< the picture's folder, ending with a separator
    QString name;           ///< the picture's file name
    QString workName;       ///< the bitmap's name in temp
    bool keepAlpha = false; ///< also write its alpha file (an entry of it is at /c32a)
    /// Dither its pixels to the colours of this mode first (a save with dithering on).
    std::optional<bmconv::BitmapMode> ditherTo;
};

/// Everything a save writes and runs, worked out before anything is written.
struct SavePlan {
    ProgramFolder folder;
    QString target;                   ///< where the archive goes (myfile)
    QString outputName;               ///< the intermediate output in temp
    QStringList workNames;            ///< the work bitmap of every entry, in list order
    std::vector<PictureJob> pictures; ///< one conversion per distinct work bitmap
    QStringList alphaNames;           ///< the alpha files the conversion writes into temp
    QString headerName;               ///< the header the converter writes in temp, or empty
    QString headerTarget;             ///< where that header goes, or empty
    /// The names the header's identifiers are made from, when the work names would give
    /// others: the target's file name, then each entry's picture name, or for a bitmap
    /// read from an archive "<archive base>_<index>.bmp" (the lines of
    /// kIdentifierNamesFile). Empty when the converter's own names serve.
    QStringList identifierNames;
    QStringList commandFile; ///< lines of mbmcreater.txt
    QStringList buildBatch;  ///< lines of mbmcreater.bat

    QString outputPath() const { return folder.inTemp(outputName); }
    QString headerPath() const {
        return headerName.isEmpty() ? QString() : folder.inTemp(headerName);
    }
};

using work_files::kIdentifierNamesFile;

/// Plans the save of `entries` to `target`, with `title` (mytitle) as the wished
/// intermediate output name. Work names follow workBitmapNames and outputNameFor; the
/// output name also avoids the target itself when the target lies in temp. Line 1 of the
/// command file holds the store option of `options.type`, with a header the converter's
/// /h option (and /i with kIdentifierNamesFile when the identifiers need names the work
/// files do not have), then the output name; each further line an entry's switch glued to
/// its work name. With `options.dither` an entry whose switch reduces colours gets a work
/// bitmap of its own for its picture and switch (the dithered pixels differ per switch).
SavePlan makeSavePlan(const ProgramFolder& folder, const std::vector<BitmapEntry>& entries,
                      const QString& title, const QString& target, const SaveOptions& options = {});

/// Prepares temp for the plan: creates it, copies bmconv.exe into it, removes stale work
/// bitmaps, alpha files and header of the plan left by an interrupted build, and writes
/// mbmcreater.txt, mbmcreater.bat and the identifier names when the plan has them. Every step is
/// tried; the result lists what failed, in words a user can act on (empty when all went well).
QStringList prepareSave(const WorkFolders& work, const SavePlan& plan);
