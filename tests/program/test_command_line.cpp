// The command line: files or a folder to open, --help and --version (answered without a
// display, so they work from a terminal anywhere), and a wrong option.

#include "app/command_line.h"

#include <QProcess>
#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void answeredWithoutADisplay_data();
    void answeredWithoutADisplay();
};

void TestCommandLine::read_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("paths");
    const int open = int(CommandLine::Kind::Open);
    QTest::newRow("nothing") << QStringList{} << open << QStringList{};
    QTest::newRow("files") << QStringList{"/v/a.mpg", "b.DAT"} << open
                           << QStringList{"/v/a.mpg", "b.DAT"};
    QTest::newRow("names that look like options, after --")
            << QStringList{"a.mpg", "--", "-x.mpg", "--help"} << open
            << QStringList{"a.mpg", "-x.mpg", "--help"};
    QTest::newRow("a lone dash is a name") << QStringList{"-"} << open << QStringList{"-"};
    QTest::newRow("help among files")
            << QStringList{"a.mpg", "-h"} << int(CommandLine::Kind::Help) << QStringList{};
    QTest::newRow("version") << QStringList{"--version"} << int(CommandLine::Kind::Version)
                             << QStringList{};
    QTest::newRow("a wrong option")
            << QStringList{"--play", "a.mpg"} << int(CommandLine::Kind::Wrong) << QStringList{};
}

void TestCommandLine::read()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, kind);
    QFETCH(QStringList, paths);
    const CommandLine line = readCommandLine(arguments);
    QCOMPARE(int(line.kind), kind);
    QCOMPARE(line.paths, paths);
}

void TestCommandLine::answeredWithoutADisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("help") << "--help"
                          << "Usage: clipferry [OPTION] [FILE... | FOLDER]";
    QTest::newRow("version") << "-v"
                             << "clipferry " CLIPFERRY_VERSION;
}

void TestCommandLine::answeredWithoutADisplay()
{
    QFETCH(QString, option);
    QFETCH(QString, firstLine);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(CLIPFERRY_PROGRAM, {option});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).section('\n', 0, 0), firstLine);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
