#include "sources_window.h"

#include <QCheckBox>
#include <QtTest>

namespace {

constexpr qint64 megabyte = 1024 * 1024;

// The drive letters the scan offered, in order, read from the questions asked.
QString offeredLetters(const ScriptedDialogs &dialogs)
{
    QString letters;
    for (const ScriptedDialogs::Box &box : dialogs.boxes()) {
        if (box.buttons == MsgButtons::YesNo && box.text.startsWith(QLatin1String("Drive: ")))
            letters += box.text.at(7);
    }
    return letters;
}

} // namespace

// The storage-card scan from the menu and from the copy box.
class TestStorageCards : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void scan_data();
    void scan();
};

void TestStorageCards::scan_data()
{
    QTest::addColumn<QString>("drives");       // letters of removable drives; "-" an empty slot
    QTest::addColumn<QString>("answers");      // Y or N per question
    QTest::addColumn<QString>("chosenBefore"); // StorageDrive before; the box is then checked
    QTest::addColumn<bool>("fromBox");         // the user checks the box; else the menu entry
    QTest::addColumn<QString>("offered");
    QTest::addColumn<bool>("noCardsMessage");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("checked");

    // Every row has a CD-ROM in D:, which is never offered.
    QTest::newRow("No to E, Yes to F") << "EF"
                                       << "NY"
                                       << "" << false << "EF" << false << "F" << true;
    QTest::newRow("Yes ends the scan") << "EF"
                                       << "Y"
                                       << "" << false << "E" << false << "E" << true;
    // Cards were found, so there is no message, but none was taken.
    QTest::newRow("No to every card") << "EF"
                                      << "NN"
                                      << "G" << false << "EF" << false << "" << false;
    QTest::newRow("from the box, Yes") << "EF"
                                       << "NY"
                                       << "" << true << "EF" << false << "F" << true;
    // From the menu an earlier choice stays, even for a card that is gone.
    QTest::newRow("none, from the menu") << ""
                                         << ""
                                         << "G" << false << "" << true << "G" << true;
    QTest::newRow("none, from the box") << ""
                                        << ""
                                        << "" << true << "" << true << "" << false;
    // A slot without a card counts as found but is not offered.
    QTest::newRow("empty slot") << "-"
                                << ""
                                << "G" << false << "" << false << "" << false;
    QTest::newRow("empty slot, then a card") << "-F"
                                             << "Y"
                                             << "" << true << "F" << false << "F" << true;
    QTest::newRow("A and B are never cards") << "AB"
                                             << ""
                                             << "" << false << "" << true << "" << false;
    QTest::newRow("box with a card chosen") << "EF"
                                            << ""
                                            << "E" << true << "" << false << "E" << true;
}

void TestStorageCards::scan()
{
    QFETCH(QString, drives);
    QFETCH(QString, answers);
    QFETCH(QString, chosenBefore);
    QFETCH(bool, fromBox);
    SourcesWindow window;
    window.machine.addDrive(QLatin1Char('D'), DriveKind::CdRom);
    for (int i = 0; i < drives.size(); ++i) {
        if (drives[i] == '-') // the empty slot takes E:
            window.machine.addEmptySlot(QLatin1Char('E'));
        else // 128 MB, half of it free
            window.machine.setVolume({drives.mid(i, 1),
                                      window.machine.makeFolder("C:\\" + drives.mid(i, 1)),
                                      DriveKind::Removable,
                                      "CARD",
                                      true,
                                      drives[i],
                                      128 * megabyte,
                                      64 * megabyte + megabyte / 2});
    }
    Form1 &form = *window.form;
    form.StorageDrive = chosenBefore;
    if (!chosenBefore.isEmpty() && !fromBox)
        form.chkCopytoStorage->setChecked(true);
    for (QChar answer : answers)
        answer == 'Y' ? window.dialogs.answerYes() : window.dialogs.answerNo();

    fromBox ? form.chkCopytoStorage->click() : form.mnuCheckStorageCards->trigger();

    QFETCH(QString, offered);
    QCOMPARE(offeredLetters(window.dialogs), offered);
    // Sizes in MB with two decimals, here in an English system's number format.
    if (!offered.isEmpty())
        QCOMPARE(window.dialogs.texts().first(),
                 "Drive: " + offered.left(1)
                         + "\r\nVolumename: CARD\r\nTotal size: 128.00 MB\r\n"
                           "Free space: 64.50 MB\r\n\r\nSet this drive as output storage?");
    QTEST(window.dialogs.texts().contains("No Storage Cards detected!"), "noCardsMessage");
    QTEST(form.StorageDrive, "chosen");
    QTEST(form.chkCopytoStorage->isChecked(), "checked");
}

QTEST_MAIN(TestStorageCards)
#include "test_storage_cards.moc"
