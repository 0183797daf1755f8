// The program's options, answered without a display (so they work from a terminal anywhere).

#include <QProcess>
#include <QtTest>

class TestProgramOptions : public QObject
{
    Q_OBJECT
private slots:
    void answeredWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // standard output, then standard error
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << "Usage: clipferry [OPTION] [FILE... | FOLDER]\n"
                                 "Converts MPEG and Video CD files into .wmv files for a Pocket "
                                 "PC.\n\n"
                                 "With files, Clipferry opens their folder as the input folder "
                                 "and selects them;\n"
                                 "with a folder, it opens that folder. Files of other folders "
                                 "are not opened.\n\n"
                                 "  -h, --help     show this help and exit\n"
                                 "  -v, --version  show the version and exit\n\n"
                                 "See clipferry(1) for the drives, the files and the "
                                 "environment.\n";
        QTest::newRow("version") << QStringList{"-v"} << 0 << "clipferry " CLIPFERRY_VERSION "\n";
        // Qt takes its own options first, so a wrong option is told apart once Qt is up.
        QTest::newRow("unknown option") << QStringList{"-platform", "offscreen", "--play"} << 2
                                        << "clipferry: unknown option --play\n"
                                           "Try 'clipferry --help' for more information.\n";
    }

    void answeredWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        const QTemporaryDir runtime; // where Qt, once up, wants a folder of the user's own
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        program.setProcessEnvironment(environment);
        program.start(CLIPFERRY_PROGRAM, arguments);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QTEST(program.exitCode(), "exitCode");
        QTEST(QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError()),
              "output");
    }
};

QTEST_GUILESS_MAIN(TestProgramOptions)
#include "test_program_options.moc"
