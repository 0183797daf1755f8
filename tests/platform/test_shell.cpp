// Starting programs by command line, and the Windows folder.
#include "common/error.h"
#include "platform/kernel32.h"
#include "platform/shell.h"
#include "temp_machine.h"

#include <QtTest>

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void startsAScriptWithItsArgument();
    void programPathsMayHoldBlanks();
    void failuresAreErrors();
    void windowsDirectory();
};

void TestShell::startsAScriptWithItsArgument()
{
    TempMachine machine;
    machine.runPrograms(true);
    const QString marker = machine.nativeC() + QStringLiteral("/started.txt");
    const QString script
            = machine.writeFile(QStringLiteral("C:\\Program Files\\Tools\\echo arg.sh"),
                                "#!/bin/sh\nprintf '%s' \"$1\" > '" + marker.toLocal8Bit() + "'\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);

    Shell(QStringLiteral("C:\\Program Files\\Tools\\echo arg.sh file:///tmp/page one.html"));
    QCOMPARE(machine.launches().size(), 1);
    QCOMPARE(machine.launches().first().program, script);
    QCOMPARE(machine.launches().first().arguments, QStringList{"file:///tmp/page one.html"});
    const auto written = [&] {
        QFile file(marker);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QTRY_COMPARE(written(), QStringLiteral("file:///tmp/page one.html"));
}

void TestShell::programPathsMayHoldBlanks()
{
    TempMachine machine;
    const QString program = machine.writeFile(
            QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"), "#!/bin/sh\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    Shell(QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"));
    Shell(QStringLiteral("\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" x"));
    QCOMPARE(machine.launches().size(), 2);
    QCOMPARE(machine.launches().at(0).arguments, QStringList());
    QCOMPARE(machine.launches().at(1).arguments, QStringList{"x"});
}

void TestShell::failuresAreErrors()
{
    TempMachine machine;
    machine.writeFile(QStringLiteral("C:\\data.txt"), "not a program");
    try {
        Shell(QStringLiteral(
                ":\\Program Files\\Windows Media Components\\Encoder\\WMProEdt.exe a b"));
        QFAIL("a missing program must fail");
    } catch (const Error &e) {
        QCOMPARE(e.description(),
                 QStringLiteral("Cannot start :\\Program Files\\Windows Media "
                                "Components\\Encoder\\WMProEdt.exe: file not found."));
    }
    QVERIFY_THROWS_EXCEPTION(Error, Shell(QStringLiteral("C:\\data.txt")));
    QVERIFY_THROWS_EXCEPTION(Error, Shell(QString()));
    QVERIFY(machine.launches().isEmpty());
}

void TestShell::windowsDirectory()
{
    TempMachine machine;
    char buffer[256];
    QCOMPARE(GetWindowsDirectoryA(buffer, sizeof buffer), 10u);
    QCOMPARE(QByteArray(buffer), QByteArray("C:\\Windows"));
    machine.machine().setWindowsDirectory(QStringLiteral("D:\\WINNT"));
    QCOMPARE(GetWindowsDirectoryA(buffer, sizeof buffer), 8u);
    QCOMPARE(QByteArray(buffer), QByteArray("D:\\WINNT"));
    QCOMPARE(GetWindowsDirectoryA(buffer, 4), 9u); // too small: the size needed
}

QTEST_GUILESS_MAIN(TestShell)
#include "test_shell.moc"
