#include "started_program.h"

#include "platform/machine.h"
#include "platform/user_drive.h"

#include <QDir>
#include <QFile>
#include <QtTest>

StartedProgram::StartedProgram()
{
    const QString driveC = m_drive.path() + QStringLiteral("/drive_c");
    prepareUserDriveC(qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C"), driveC);
    // The profiles as Settings / Check Profile Setup leaves them: no hint at start-up.
    const QString program = driveC + QStringLiteral("/Program Files/Clipferry/");
    const QString profiles = driveC + QLatin1Char('/') + userdrive::profileFolder + '/';
    for (const QString &name : QDir(program).entryList({QStringLiteral("*.prx")})) {
        if (!QFile::exists(profiles + name) && !QFile::copy(program + name, profiles + name))
            qFatal("cannot copy %s", qPrintable(name));
    }
    if (!installMachineFor(program + QStringLiteral("clipferry")))
        qFatal("cannot start the program on %s", qPrintable(driveC));
}

StartedProgram::~StartedProgram()
{
    if (m_program)
        m_program->window().close();
    m_program.reset();
    Machine::setCurrent(nullptr);
}

Form1 &StartedProgram::start(const QStringList &paths)
{
    m_program = std::make_unique<Program>();
    m_program->show(paths);
    if (!QTest::qWaitForWindowExposed(&window()))
        qWarning("the main window was not shown");
    // The paths are opened by an event posted when the window was shown.
    QCoreApplication::sendPostedEvents();
    return window();
}
