#include "project/command_line.h"

#include "project/project_list.h"

#include <QDir>
#include <QFileInfo>

#ifndef ZEMBREL_VERSION
#define ZEMBREL_VERSION "unknown"
#endif

static QString checkFile(const QString& arg, HandedFile& file) {
    const QFileInfo info(arg);
    if (!info.exists()) return QStringLiteral("%1: there is no such file.").arg(arg);
    if (info.isDir()) return QStringLiteral("%1 is a folder, not a file.").arg(arg);
    if (!info.isReadable()) return QStringLiteral("%1 cannot be read.").arg(arg);
    file = {QDir::toNativeSeparators(info.absoluteFilePath()), fileKindOf(arg)};
    if (file.kind == FileKind::Other)
        return QStringLiteral("%1 is neither an archive (.mbm) nor a picture the editor reads.")
            .arg(arg);
    return {};
}

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine cl;
    bool options = true;
    for (const QString& arg : arguments) {
        if (options && arg == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (options && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            cl.action = CommandLine::Help;
            return cl;
        }
        if (options && arg == QLatin1String("--version")) {
            if (cl.action == CommandLine::Run) cl.action = CommandLine::Version;
            continue;
        }
        if (options && arg.size() > 1 && arg.startsWith(QLatin1Char('-'))) {
            cl.errors << QStringLiteral("%1: there is no such option (try --help).").arg(arg);
            continue;
        }
        HandedFile file;
        const QString error = checkFile(arg, file);
        if (error.isEmpty())
            cl.files.push_back(file);
        else
            cl.errors << error;
    }
    return cl;
}

QString commandLineHelp() {
    const QString c8 = colourSwitches().at(kDefaultSwitchIndex);
    return QStringLiteral(
               "Usage: mbmzembrel [FILE]...\n"
               "Edits Symbian multi-bitmap archives (.mbm).\n"
               "\n"
               "  ARCHIVE.mbm  the first archive is opened as File > Open does; further\n"
               "               archives are imported into it\n"
               "  PICTURE      added to the project with the colour switch %1 (BMP, JPEG,\n"
               "               GIF, PNG and the other picture files the editor reads)\n"
               "  --help       print this help and end\n"
               "  --version    print the version and end\n"
               "\n"
               "A file that does not exist or cannot be used is named in a message and the\n"
               "editor starts with an empty project.\n")
        .arg(c8);
}

QString commandLineVersion() {
    return QStringLiteral("mbmzembrel %1\n").arg(QStringLiteral(ZEMBREL_VERSION));
}

QString commandLineErrorMessage(const QStringList& errors) {
    return QStringLiteral("The command line could not be used:\n%1\n\nThe editor starts with an "
                          "empty project.")
        .arg(errors.join(QLatin1Char('\n')));
}
