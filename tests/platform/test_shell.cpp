// Starting programs by command line.
#include "checks.h"
#include "platform/shell.h"
#include "temp_machine.h"

#include <QtTest>

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    // The program's path may hold blanks, quoted or not; the rest of the line is one argument.
    void startsProgramsWithTheirArgument()
    {
        TempMachine machine;
        const QString script = machine.writeFile("C:\\Program Files\\Tools\\echo arg.sh");
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
        Shell("C:\\Program Files\\Tools\\echo arg.sh file:///tmp/page one.html");
        Shell("\"C:\\Program Files\\Tools\\echo arg.sh\" x");
        Shell("C:\\Program Files\\Tools\\echo arg.sh");

        QList<QStringList> arguments;
        for (const TempMachine::Launch &launch : machine.launches()) {
            QCOMPARE(launch.program, script);
            arguments << launch.arguments;
        }
        QCOMPARE(arguments,
                 (QList<QStringList>{{"file:///tmp/page one.html"}, {"x"}, QStringList()}));
    }

    void failuresAreErrors()
    {
        TempMachine machine;
        machine.writeFile("C:\\data.txt", "not a program");
        // A path without a drive letter (no Windows drive found) names a program not found.
        QCOMPARE(failureOf([] {
                     Shell(":\\Program Files\\Windows Media Components\\Encoder\\WMProEdt.exe a b");
                 }),
                 "Cannot start :\\Program Files\\Windows Media Components\\Encoder\\WMProEdt.exe: "
                 "file not found.");
        QVERIFY_THROWS_EXCEPTION(Error, Shell("C:\\data.txt"));
        QVERIFY_THROWS_EXCEPTION(Error, Shell(QString()));
        QVERIFY(machine.launches().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestShell)
#include "test_shell.moc"
