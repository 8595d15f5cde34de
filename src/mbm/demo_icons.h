// The two demo icon sets: their bitmaps, the switches their entries take, and writing them
// into the reading work folder.
#pragma once
#include "jobs/result.h"

#include <QString>

class Project;
class WorkFolders;

/// One bitmap of a demo set: its file name and the colour switch its entry takes.
struct DemoIcon {
    const char* file;
    const char* colour;
};

enum class DemoSet { Qev, MBMZembrel };

/// The four bitmaps of a set, in the order they are written and added: big icon, its
/// mask, small icon, its mask.
const DemoIcon* demoIcons(DemoSet set);
constexpr int kDemoIconsPerSet = 4;

/// Where the program keeps the bitmap file of a demo icon (a resource path; the window
/// that offers the sets makes sure the resources are there).
QString demoIconPath(const char* file);

/// Writes the four bitmaps of `set` into tempextract (created when missing), byte for byte
/// as embedded, then appends their four entries to the project as one undo step. When a file cannot
/// be written nothing is added and the failure names the file.
Status insertDemoSet(DemoSet set, WorkFolders& work, Project& project);
