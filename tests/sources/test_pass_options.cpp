#include "sources_window.h"

#include "sources/file_list_box.h"

#include <QRadioButton>
#include <QtTest>

class TestPassOptions : public QObject
{
    Q_OBJECT
private slots:
    void optionsSetPasses_data();
    void optionsSetPasses();
    void nextFilesUseThePasses();
    void helpTexts_data();
    void helpTexts();
};

void TestPassOptions::optionsSetPasses_data()
{
    QTest::addColumn<QString>("clicks"); // 1 or 2: the option clicked
    QTest::addColumn<int>("passes");

    QTest::newRow("start") << "" << 1;
    QTest::newRow("one pass") << "1" << 0;
    QTest::newRow("one pass again") << "11" << 0;
    QTest::newRow("two passes again") << "122" << 1;
    QTest::newRow("back to one") << "121" << 0;
}

void TestPassOptions::optionsSetPasses()
{
    QFETCH(QString, clicks);
    QFETCH(int, passes);
    SourcesWindow window;
    Form1 &form = *window.form;

    for (QChar option : clicks)
        (option == '1' ? form.optOnePass : form.optTwoPass)->click();

    QCOMPARE(form.PreprocessPasses, passes);
    QCOMPARE(form.optOnePass->isChecked(), passes == 0);
    QCOMPARE(form.optTwoPass->isChecked(), passes == 1);
}

void TestPassOptions::nextFilesUseThePasses()
{
    SourcesWindow window;
    Form1 &form = *window.form;
    window.machine.writeFile(QStringLiteral("C:\\Videos\\a.mpg"));
    form.File1->setPath(QStringLiteral("C:\\Videos"));
    form.File2->setPath(QStringLiteral("C:\\Videos"));
    const auto setUpFile = [&] {
        window.values.InputFile = QStringLiteral("a.mpg");
        window.values.OutputFile = QStringLiteral("a.wmv");
        form.SetupJob();
        if (window.backend->durationReads().isEmpty())
            return 0;
        return window.backend->durationReads().last().passes;
    };

    form.optOnePass->click();
    const int first = setUpFile();
    if (first == 0)
        QSKIP("The job set-up is not part of this build.");
    QCOMPARE(first, 1);
    QCOMPARE(setUpFile(), 1);
    form.optTwoPass->click();
    QCOMPARE(setUpFile(), 2);
}

void TestPassOptions::helpTexts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("pass info") << "lblPassInfo"
                               << QStringList{"During one-pass encoding, audio content is analyzed "
                                              "and compressed at the same time.",
                                              "",
                                              "During two-pass encoding, audio content is analyzed "
                                              "in the first pass, and then",
                                              "the best combinations of bit rate, frame rate, "
                                              "buffer size, and image quality",
                                              "are applied during the second pass.",
                                              "Two-pass encoding produces a better-quality result "
                                              "but the process takes longer.",
                                              "Output statistics are not displayed in the first "
                                              "pass of two-pass encoding."};
    QTest::newRow("info") << "mnuInfo"
                          << QStringList{
                                     "1. Select your VCD/MPG input directory on hard-disk.",
                                     "     Use input button and browse to vcd or other",
                                     "     directory that contains the dat or mpg files.",
                                     "     Use output button to select directory",
                                     "     where wmv files will be saved (optional).",
                                     "",
                                     "2. Select the files to encode.",
                                     "     Hold down Ctrl-key when selecting multiple files.",
                                     "",
                                     "3. Click Encode button.",
                                     "     Conversion takes place with selected profile.",
                                     "",
                                     "4. Copy wmv files to your Pocket PC.",
                                     "     copy-feature will copy the wmv file",
                                     "     to storage card reader after encoding has finished."};
    QTest::newRow("about") << "mnuAbout"
                           << QStringList{"Clipferry",
                                          "",
                                          "convert your VCD's or MPG files to view on Pocket PC.",
                                          "batch encoding: convert multiple files.",
                                          "requirements: Windows Media Encoder 9 Series."};
}

void TestPassOptions::helpTexts()
{
    QFETCH(QString, command);
    QFETCH(QStringList, lines);
    SourcesWindow window;
    Form1 &form = *window.form;

    if (command == "lblPassInfo")
        form.lblPassInfo_Click();
    else
        form.findChild<QAction *>(command)->trigger();

    QCOMPARE(window.dialogs.boxes().size(), 1);
    QCOMPARE(window.dialogs.boxes().first().buttons, MsgButtons::Ok);
    QCOMPARE(window.dialogs.texts().first(), lines.join("\r\n"));
}

QTEST_MAIN(TestPassOptions)
#include "test_pass_options.moc"
