// The plan of one save: what the conversion writes into temp, the command file and the
// build batch, and where the result goes.
#pragma once
#include "jobs/program_folder.h"
#include "jobs/work_folders.h"
#include "project/project_list.h"

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

/// One picture the conversion writes as a bitmap into temp.
struct PictureJob {
    QString dir;      ///< the picture's folder, ending with a separator
    QString name;     ///< the picture's file name
    QString workName; ///< the bitmap's name in temp
};

/// Everything a save writes and runs, worked out before anything is written.
struct SavePlan {
    ProgramFolder folder;
    QString target;                   ///< where the archive goes (myfile)
    QString outputName;               ///< the intermediate output in temp
    QStringList workNames;            ///< the work bitmap of every entry, in list order
    std::vector<PictureJob> pictures; ///< one conversion per distinct work bitmap
    QStringList commandFile;          ///< lines of mbmcreater.txt
    QStringList buildBatch;           ///< lines of mbmcreater.bat

    QString outputPath() const { return folder.inTemp(outputName); }
};

/// Plans the save of `entries` to `target`, with `title` (mytitle) as the wished
/// intermediate output name. Work names follow workBitmapNames and outputNameFor; the
/// output name also avoids the target itself when the target lies in temp.
SavePlan makeSavePlan(const ProgramFolder& folder, const std::vector<BitmapEntry>& entries,
                      const QString& title, const QString& target);

/// Prepares temp for the plan: creates it, copies bmconv.exe into it, removes stale work
/// bitmaps of the plan left by an interrupted build, and writes mbmcreater.txt and
/// mbmcreater.bat. Every step is tried; the result lists what failed, in words a user can
/// act on (empty when all went well).
QStringList prepareSave(const WorkFolders& work, const SavePlan& plan);
