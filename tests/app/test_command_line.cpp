// The command line as the program reads it: files or a folder to open, or an option.

#include "app/command_line.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
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

    void read()
    {
        QFETCH(QStringList, arguments);
        const CommandLine line = readCommandLine(arguments);
        QTEST(int(line.kind), "kind");
        QTEST(line.paths, "paths");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
