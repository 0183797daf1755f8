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

// The setting is read afresh for each file's set-up: the encoder gets one pass after
// optOnePass until optTwoPass is clicked.
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
    };

    setUpFile();
    form.optOnePass->click();
    setUpFile();
    setUpFile();
    form.optTwoPass->click();
    setUpFile();

    QList<int> passes; // as the encoder hands them to the engine, one entry per set-up
    for (const EncodeJob &job : window.backend->durationReads())
        passes.append(job.passes);
    QCOMPARE(passes, (QList<int>{2, 1, 1, 2}));
    QCOMPARE(window.dialogs.texts(), QStringList());
}

QTEST_MAIN(TestPassOptions)
#include "test_pass_options.moc"
