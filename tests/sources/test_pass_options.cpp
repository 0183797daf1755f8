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

QTEST_MAIN(TestPassOptions)
#include "test_pass_options.moc"
