#include "app/engine_paths.h"
#include "app/form1.h"

#include "common/encoder_folder.h"
#include "common/error.h"
#include "common/texts.h"
#include "platform/encoder_paths.h"
#include "platform/machine.h"
#include "platform/shell.h"
#include "platform/win_paths.h"
#include "widgets/dialogs.h"

#include <QUrl>

QString engineModulePath(const QString &winDrive)
{
    return encoderFilePath(winDrive, encoder_folder::ModuleFile);
}

QString engineRequiredText()
{
    return QStringLiteral("Clipferry only works with Windows Media Encoder 9 Series installed.");
}

QString downloadQuestion()
{
    return QStringLiteral("Download Windows Media Encoder 9 Series?");
}

QString downloadCommandLine()
{
    const QString page
            = joinPath(Machine::current().programFolder(), QStringLiteral("engine.html"));
    const QString address = QUrl::fromLocalFile(toNativePath(page)).toString(QUrl::FullyEncoded);
    return QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE ") + address;
}

void Form1::mnuDownload_Click()
{
    try {
        const QString engine = engineModulePath(m_values.WinDrive);
        if (!FileSys)
            throw Error(
                    QStringLiteral("The file system cannot be reached: the window is closing."));
        if (!FileSys->FileExists(engine))
            msgBox(joinCrLf(
                    {QStringLiteral("File not found: "), engine, QString(), engineRequiredText()}));
        if (askYesNo(downloadQuestion()))
            Shell(downloadCommandLine(), vbNormalFocus);
    } catch (const Error &e) {
        msgBox(e.description());
    }
}
