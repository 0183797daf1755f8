#pragma once

#include <QString>
#include <QStringList>

// The program's command line: clipferry [--help | --version] [FILE... | FOLDER]
struct CommandLine
{
    enum class Kind { Open, Help, Version, Wrong };
    Kind kind = Kind::Open;
    QStringList paths; // Open: the files, or the folder, to open (none: start as usual)
    QString text;      // Help, Version: the answer; Wrong: what is wrong, and what to do
};

// Reads the arguments after the program's name. Arguments after "--" are always paths.
CommandLine readCommandLine(const QStringList &arguments);

// Prints the answer of a command line that does not open the window (help and version on
// standard output, a wrong option on standard error) and returns the exit code for it.
int answerCommandLine(const CommandLine &line);
