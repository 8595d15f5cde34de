// The editor's command line: archives to open, pictures to add, --help and --version.
#pragma once
#include "project/handed_files.h"

#include <QStringList>
#include <vector>

/// What the command line asks for.
struct CommandLine {
    enum Action {
        Run,     ///< start the editor with `files`
        Help,    ///< print commandLineHelp() and end
        Version, ///< print commandLineVersion() and end
    };
    Action action = Run;
    /// The archives and pictures named, in order, as absolute native paths.
    std::vector<HandedFile> files;
    /// One message per argument that cannot be used. When there is any, the editor says so
    /// and starts with an empty project, using none of the files.
    QStringList errors;
};

/// Reads the arguments (without the program name). "--help" or "-h" and "--version" win
/// over everything else; "--" ends the options, so a file may be called "--help". Every
/// other argument must name an existing file that is an archive (.mbm) or a picture;
/// anything else is an error naming the argument and what is wrong with it.
CommandLine parseCommandLine(const QStringList& arguments);

/// The usage text printed for --help.
QString commandLineHelp();
/// The version line printed for --version: the program name and its version.
QString commandLineVersion();
/// What the user is told, under "Error", when the command line had errors.
QString commandLineErrorMessage(const QStringList& errors);
