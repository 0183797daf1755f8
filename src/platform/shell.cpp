#include "platform/shell.h"

#include "common/error.h"
#include "platform/machine.h"
#include "platform/win_paths.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct CommandLine
{
    QString program; // Windows form
    QString native;  // empty when no part of the line names a file
    QString argument;
};

QString nativeFileOrEmpty(Machine &machine, const QString &path)
{
    try {
        const QString native = toNativePath(machine, path);
        return QFileInfo(native).isFile() ? native : QString();
    } catch (const Error &) {
        return {};
    }
}

// For the message when no part of a line names a file: the part up to a blank after
// ".exe", where there is one, is the program the user meant.
QString programNamedIn(const QString &text)
{
    const QRegularExpression exe(QStringLiteral("\\.exe(?= )"),
                                 QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = exe.match(text);
    return match.hasMatch() ? text.left(match.capturedEnd()) : text;
}

CommandLine split(Machine &machine, const QString &line)
{
    const QString text = line.trimmed();
    if (text.startsWith(QLatin1Char('"'))) {
        const qsizetype close = text.indexOf(QLatin1Char('"'), 1);
        const QString program = text.mid(1, close < 0 ? -1 : close - 1);
        const QString rest = close < 0 ? QString() : text.mid(close + 1).trimmed();
        return {program, nativeFileOrEmpty(machine, program), rest};
    }
    for (qsizetype blank = text.indexOf(QLatin1Char(' ')); blank >= 0;
         blank = text.indexOf(QLatin1Char(' '), blank + 1)) {
        const QString program = text.left(blank);
        const QString native = nativeFileOrEmpty(machine, program);
        if (!native.isEmpty())
            return {program, native, text.mid(blank + 1).trimmed()};
    }
    const QString native = nativeFileOrEmpty(machine, text);
    if (native.isEmpty())
        return {programNamedIn(text), QString(), {}};
    return {text, native, {}};
}

} // namespace

void Shell(Machine &machine, const QString &commandLine, int /*windowStyle*/)
{
    const CommandLine parts = split(machine, commandLine);
    if (parts.native.isEmpty())
        throw Error(QStringLiteral("Cannot start %1: file not found.").arg(parts.program));
    if (!QFileInfo(parts.native).isExecutable())
        throw Error(QStringLiteral("Cannot start %1: it is not a program.").arg(parts.program));
    const QStringList arguments
            = parts.argument.isEmpty() ? QStringList() : QStringList{parts.argument};
    if (!machine.launch(parts.native, arguments))
        throw Error(QStringLiteral("Cannot start %1.").arg(parts.program));
}

void Shell(const QString &commandLine, int windowStyle)
{
    Shell(Machine::current(), commandLine, windowStyle);
}
