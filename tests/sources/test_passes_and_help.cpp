#include "widgets/clickable_label.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QRadioButton>
#include <QtTest>

// The pass options, and the help texts of the "?" label and the Help menu.
class TestPassesAndHelp : public QObject
{
    Q_OBJECT
private slots:
    // Clicking an option, even the selected one, sets the passes for the files encoded next;
    // so does a screen reader's action, which selects an option without a click: the next
    // file's job has them.
    void optionsSetPasses()
    {
        WindowFixture window;
        Form1 &form = window.openInstalled();
        form.optOnePass->click();
        QCOMPARE(int(form.passesAndHelp().PreprocessPasses), 0);
        form.passesAndHelp().PreprocessPasses = 1;
        form.optOnePass->click();
        QCOMPARE(int(form.passesAndHelp().PreprocessPasses), 0);
        form.optTwoPass->click();
        QCOMPARE(int(form.passesAndHelp().PreprocessPasses), 1);

        QAccessibleActionInterface *actions
                = QAccessible::queryAccessibleInterface(form.optOnePass)->actionInterface();
        actions->doAction(actions->actionNames().value(0)); // the one Orca uses
        QVERIFY(form.optOnePass->isChecked() && !form.optTwoPass->isChecked());
        window.machine.makeFolder("C:\\Videos");
        window.chooseFolders("C:\\Videos", "C:\\Videos");
        window.values.InputFile = "a.mpg";
        form.SetupJob();
        QCOMPARE(window.backend->durationReads().value(0).passes, 1);
    }

    void helpTexts_data()
    {
        QTest::addColumn<QString>("command"); // "?" for the label, else the menu entry
        QTest::addColumn<QString>("text");
        // Written here as the user reads it; the box breaks its lines with CR LF.
        const auto text = [](const char *lines) {
            return QString(lines).mid(1).replace("\n", "\r\n");
        };
        QTest::newRow("?") << "?" << text(R"(
During one-pass encoding, audio content is analyzed and compressed at the same time.

During two-pass encoding, audio content is analyzed in the first pass, and then
the best combinations of bit rate, frame rate, buffer size, and image quality
are applied during the second pass.
Two-pass encoding produces a better-quality result but the process takes longer.
Output statistics are not displayed in the first pass of two-pass encoding.)");
        QTest::newRow("Info") << "Info" << text(R"(
1. Select your VCD/MPG input directory on hard-disk.
     Use input button and browse to vcd or other
     directory that contains the dat or mpg files.
     Use output button to select directory
     where wmv files will be saved (optional).

2. Select the files to encode.
     Hold down Ctrl-key when selecting multiple files.

3. Click Encode button.
     Conversion takes place with selected profile.

4. Copy wmv files to your Pocket PC.
     copy-feature will copy the wmv file
     to storage card reader after encoding has finished.)");
        QTest::newRow("About") << "About" << text(R"(
Clipferry

convert your VCD's or MPG files to view on Pocket PC.
batch encoding: convert multiple files.
requirements: Windows Media Encoder 9 Series.)");
    }

    // One box, OK only, every line as the user reads it.
    void helpTexts()
    {
        QFETCH(QString, command);
        WindowFixture window;
        Form1 &form = window.openInstalled();
        if (command == QLatin1String("?"))
            QTest::mouseClick(form.lblPassInfo, Qt::LeftButton);
        else
            (command == QLatin1String("Info") ? form.mnuInfo : form.mnuAbout)->trigger();

        QCOMPARE(window.dialogs.boxes().size(), 1);
        QCOMPARE(window.dialogs.boxes().first().buttons, MsgButtons::Ok);
        QTEST(window.dialogs.texts().first(), "text");
    }
};

QTEST_MAIN(TestPassesAndHelp)
#include "test_passes_and_help.moc"
