// One line of a job batch, taken apart into what it asks for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace batchrun {

/// What a batch line asks for.
enum class CommandKind {
    Nothing,    ///< empty line, comment, label or drive line ("C:"): silently skipped
    EchoSwitch, ///< "echo off" / "echo on": no visible effect here
    Echo,       ///< "echo TEXT [> FILE]"
    ChangeDir,  ///< "cd [/d] FOLDER" (quotes optional)
    Delete,     ///< "del NAME" or "del PATTERN"
    Run,        ///< any other line: start a program from the current folder
    Unknown,    ///< a line this interpreter does not handle: reported and skipped
    Invalid,    ///< a known command written wrongly: reported and skipped
};

/// A redirection of an output stream into a file ("> FILE" or ">> FILE").
struct Redirect {
    std::string path;    ///< as written, quotes removed; relative to the current folder
    bool append = false; ///< ">>" appends, ">" creates or truncates
};

/// A parsed batch line. Which fields are used depends on `kind`.
struct Command {
    CommandKind kind = CommandKind::Nothing;
    /// Echo: the text (bytes between "echo " and the redirection, blanks kept);
    /// ChangeDir: the folder; Delete: the name or pattern; Run: the program name;
    /// Unknown/Invalid: the reason, for the report.
    std::string text;
    std::vector<std::string> args; ///< Run: the arguments after the program name
    std::optional<Redirect> out;   ///< Echo, Run: standard output into a file
    std::optional<Redirect> err;   ///< Run: standard error into a file ("2>")
};

/// Takes one batch line (without its line end) apart. Never fails: a line it
/// cannot use comes back as Unknown or Invalid with the reason in `text`.
/// The line is bytes in the system's 8-bit code page; nothing is expanded
/// (no %VARIABLES%, no ^ escapes) and no character other than an unquoted '>'
/// has a meaning, so file names are always taken literally.
Command parseLine(std::string_view line);

/// Splits the text after a program name into words: blanks and tabs separate,
/// double quotes group (and are removed), an unquoted '>' / '>>' (optionally
/// written "1>" or "2>") starts a redirection whose target is the next word.
/// Returns false with `problem` set when a redirection has no target.
bool splitWords(std::string_view text, std::vector<std::string>& words,
                std::optional<Redirect>& out, std::optional<Redirect>& err, std::string& problem);

} // namespace batchrun
