#include "sources/storage_cards.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QtTest>

namespace {

constexpr qint64 mb = 1024 * 1024;

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

// Cards ("-": empty slot), answers, drive chosen, box clicked; then offered, message, result.
struct ScanRow
{
    const char *name, *drives, *answers, *before;
    bool fromBox;
    const char *offered;
    bool noCardsMessage;
    const char *chosen;
    bool checked;
};

} // namespace

Q_DECLARE_METATYPE(ScanRow)

// The storage-card scan from the menu and from the copy box.
class TestStorageCards : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void sizesInTheUsersNumberFormat()
    {
        QCOMPARE(megabytesText(1234 * mb + mb / 4, QLocale(QLocale::German)), "1.234,25");
    }

    void scan_data()
    {
        QTest::addColumn<ScanRow>("row");
        const ScanRow rows[] = {
                // Every row has a CD-ROM in D:, which is never offered.
                {"No to E, Yes to F", "EF", "NY", "", false, "EF", false, "F", true},
                {"Yes ends the scan", "EF", "Y", "", false, "E", false, "E", true},
                // Cards were found, so there is no message, but none was taken.
                {"No to every card", "EF", "NN", "G", false, "EF", false, "", false},
                // From the menu an earlier choice stays, even for a card that is gone.
                {"none, from the menu", "", "", "G", false, "", true, "G", true},
                {"none, from the box", "", "", "", true, "", true, "", false},
                // A slot without a card counts as found but is not offered.
                {"empty slot", "-", "", "G", false, "", false, "", false},
                {"empty slot, then a card", "-F", "Y", "", true, "F", false, "F", true},
                {"A and B are never cards", "AB", "", "", false, "", true, "", false},
                {"box with a card chosen", "EF", "", "E", true, "", false, "E", true},
        };
        for (const ScanRow &row : rows)
            QTest::newRow(row.name) << row;
    }

    // Offers removable drives until one is taken, reading the volumes once for the scan.
    void scan()
    {
        QFETCH(ScanRow, row);
        const QString drives = row.drives, offered = row.offered;
        WindowFixture window;
        window.openInstalled();
        window.machine.addDrive(QLatin1Char('D'), DriveKind::CdRom);
        for (const QChar c : drives) {
            const QString root = window.machine.makeFolder(QString("C:\\") + c);
            if (c == '-') // the empty slot takes E:
                window.machine.addEmptySlot(QLatin1Char('E'));
            else // 128 MB, 64.5 MB of it free
                window.machine.setVolume(
                        {c, root, DriveKind::Removable, "CARD", true, c, 128 * mb, 129 * mb / 2});
        }
        Form1 &form = *window.form;
        form.storageCards().StorageDrive = row.before;
        if (!form.storageCards().StorageDrive.isEmpty() && !row.fromBox)
            form.chkCopytoStorage->setChecked(true);
        for (QChar answer : QString(row.answers))
            answer == 'Y' ? window.dialogs.answerYes() : window.dialogs.answerNo();

        QCoreApplication::processEvents(); // the set-up's reading is over
        const int reads = window.machine.volumeReads();
        row.fromBox ? form.chkCopytoStorage->click() : form.mnuCheckStorageCards->trigger();
        QCOMPARE(window.machine.volumeReads() - reads, row.fromBox && row.before[0] ? 0 : 1);

        QCOMPARE(offeredLetters(window.dialogs), offered);
        // Sizes in MB with two decimals, here in an English system's number format.
        if (!offered.isEmpty())
            QCOMPARE(window.dialogs.texts().first(),
                     "Drive: " + offered.left(1)
                             + "\r\nVolumename: CARD\r\nTotal size: 128.00 MB\r\n"
                               "Free space: 64.50 MB\r\n\r\nSet this drive as output storage?");
        QCOMPARE(window.dialogs.texts().contains("No Storage Cards detected!"), row.noCardsMessage);
        QCOMPARE(form.storageCards().StorageDrive, QString(row.chosen));
        QCOMPARE(form.chkCopytoStorage->isChecked(), row.checked);
    }
};

QTEST_MAIN(TestStorageCards)
#include "test_storage_cards.moc"
