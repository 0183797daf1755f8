#include "sources_window.h"

#include "app/clickable_label.h"

#include <QRadioButton>
#include <QtTest>

// The pass options, and the help texts of the "?" label and the Help menu.
class TestPassesAndHelp : public QObject
{
    Q_OBJECT
private slots:
    void optionsSetPasses_data()
    {
        QTest::addColumn<QString>("clicks"); // 1 or 2: the option clicked
        QTest::addColumn<int>("passes");
        QTest::newRow("two passes") << "12" << 1;
        QTest::newRow("back to one, and again") << "1211" << 0;
    }

    // Clicking an option, even the selected one, sets the passes for the files encoded next.
    void optionsSetPasses()
    {
        QFETCH(QString, clicks);
        SourcesWindow window;
        Form1 &form = *window.form;
        for (QChar option : clicks)
            (option == '1' ? form.optOnePass : form.optTwoPass)->click();

        QTEST(int(form.PreprocessPasses), "passes");
    }

    void helpTexts_data()
    {
        QTest::addColumn<QString>("command"); // "?" for the label, else the menu entry
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("?")
                << "?" << 7
                << "During one-pass encoding, audio content is analyzed and compressed at "
                   "the same time."
                << "Output statistics are not displayed in the first pass of two-pass "
                   "encoding.";
        QTest::newRow("Info") << "Info" << 15
                              << "1. Select your VCD/MPG input directory on hard-disk."
                              << "     to storage card reader after encoding has finished.";
        QTest::newRow("About") << "About" << 5 << "Clipferry"
                               << "requirements: Windows Media Encoder 9 Series.";
    }

    // One box, OK only, lines joined by CR LF; the first and last lines as the user reads them.
    void helpTexts()
    {
        QFETCH(QString, command);
        SourcesWindow window;
        Form1 &form = *window.form;
        if (command == QLatin1String("?"))
            QTest::mouseClick(form.lblPassInfo, Qt::LeftButton);
        else
            (command == QLatin1String("Info") ? form.mnuInfo : form.mnuAbout)->trigger();

        QCOMPARE(window.dialogs.boxes().size(), 1);
        QCOMPARE(window.dialogs.boxes().first().buttons, MsgButtons::Ok);
        const QStringList lines = window.dialogs.texts().first().split("\r\n");
        QTEST(int(lines.size()), "lines");
        QTEST(lines.first(), "first");
        QTEST(lines.last(), "last");
    }
};

QTEST_MAIN(TestPassesAndHelp)
#include "test_passes_and_help.moc"
