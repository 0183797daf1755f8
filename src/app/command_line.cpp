#include "app/command_line.h"

#include <cstdio>

namespace {

const QString helpText = QStringLiteral(
        "Usage: clipferry [OPTION] [FILE... | FOLDER]\n"
        "Converts MPEG and Video CD files into .wmv files for a Pocket PC.\n"
        "\n"
        "With files, Clipferry opens their folder as the input folder and selects them;\n"
        "with a folder, it opens that folder. Files of other folders are not opened.\n"
        "\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n"
        "\n"
        "See clipferry(1) for the drives, the files and the environment.\n");

} // namespace

CommandLine readCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == "-") {
            line.paths.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            return {CommandLine::Kind::Help, {}, helpText};
        } else if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            return {CommandLine::Kind::Version,
                    {},
                    QStringLiteral("clipferry " CLIPFERRY_VERSION "\n")};
        } else {
            return {CommandLine::Kind::Wrong,
                    {},
                    QStringLiteral("clipferry: unknown option %1\n"
                                   "Try 'clipferry --help' for more information.\n")
                            .arg(argument)};
        }
    }
    return line;
}

int answerCommandLine(const CommandLine &line)
{
    const bool wrong = line.kind == CommandLine::Kind::Wrong;
    std::fputs(line.text.toLocal8Bit().constData(), wrong ? stderr : stdout);
    return wrong ? 2 : 0;
}
