#include "started_program.h"

#include "common/error.h"
#include "platform/machine.h"
#include "platform/user_drive.h"

#include <QDir>
#include <QFile>
#include <QtTest>

bool installUserDrive(const QString &folder, bool profilesSetUp)
{
    const QString driveC = folder + QStringLiteral("/drive_c");
    try {
        prepareUserDriveC(qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C"), driveC);
    } catch (const Error &e) {
        qWarning("%s", qPrintable(e.description()));
        return false;
    }
    const QString program = driveC + QStringLiteral("/Program Files/Clipferry/");
    QDir profiles(driveC + QLatin1Char('/') + userdrive::profileFolder);
    if (profilesSetUp) {
        for (const QString &name : QDir(program).entryList({QStringLiteral("*.prx")})) {
            if (!profiles.exists(name) && !QFile::copy(program + name, profiles.filePath(name)))
                return false;
        }
    } else {
        for (const QString &name : profiles.entryList(QDir::Files)) {
            if (!profiles.remove(name))
                return false;
        }
    }
    return installMachineFor(program + QStringLiteral("clipferry"));
}

StartedProgram::StartedProgram()
{
    if (!installUserDrive(m_drive.path()))
        qFatal("cannot start the program on %s", qPrintable(m_drive.path()));
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
