#include "sources_window.h"

#include "sources/storage_cards.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr qint64 megabyte = 1024 * 1024;

const QString noCards = QStringLiteral("No Storage Cards detected!");

// A drive of a kind at a letter; "card" readers hold a card unless `ready` is false.
struct TestDrive
{
    char letter;
    DriveKind kind;
    bool ready = true;
};

class CardMachine
{
public:
    explicit CardMachine(TempMachine &machine)
        : m_machine(machine)
    {}

    void add(const TestDrive &drive)
    {
        m_roots.push_back(std::make_unique<QTemporaryDir>());
        const QString letter(QLatin1Char(drive.letter));
        m_machine.setVolume({QStringLiteral("card-") + letter,
                             drive.ready ? m_roots.back()->path() : QString(),
                             drive.kind,
                             QStringLiteral("CARD ") + letter,
                             drive.ready,
                             QLatin1Char(drive.letter),
                             128 * megabyte,
                             64 * megabyte + megabyte / 2});
    }

private:
    TempMachine &m_machine;
    std::vector<std::unique_ptr<QTemporaryDir>> m_roots;
};

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

Q_DECLARE_METATYPE(QList<TestDrive>)

class TestStorageCards : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void megabytes_data();
    void megabytes();
    void questionText();
    void scan_data();
    void scan();
};

void TestStorageCards::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestStorageCards::megabytes_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("128 MB") << 128 * megabyte << "en_US"
                            << "128.00";
    QTest::newRow("nothing") << qint64(0) << "en_US"
                             << "0.00";
    QTest::newRow("a few bytes") << qint64(5) << "en_US"
                                 << "0.00";
    QTest::newRow("half") << 64 * megabyte + megabyte / 2 << "en_US"
                          << "64.50";
    QTest::newRow("grouped") << 1234 * megabyte + megabyte / 4 << "en_US"
                             << "1,234.25";
    QTest::newRow("German") << 1234 * megabyte + megabyte / 4 << "de_DE"
                            << "1.234,25";
    QTest::newRow("beyond 32 bits") << 4 * 1024 * 1024 * megabyte << "en_US"
                                    << "4,194,304.00";
}

void TestStorageCards::megabytes()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, locale);
    QTEST(megabytesText(bytes, QLocale(locale)), "text");
}

void TestStorageCards::questionText()
{
    SourcesWindow window;
    CardMachine cards(window.machine);
    cards.add({'E', DriveKind::Removable});

    window.form->mnuCheckStorageCards->trigger();

    QCOMPARE(window.dialogs.texts(),
             QStringList{"Drive: E\r\nVolumename: CARD E\r\nTotal size: 128.00 MB\r\n"
                         "Free space: 64.50 MB\r\n\r\nSet this drive as output storage?"});
}

void TestStorageCards::scan_data()
{
    QTest::addColumn<QList<TestDrive>>("drives");
    QTest::addColumn<QString>("answers");      // Y or N per question
    QTest::addColumn<QString>("chosenBefore"); // StorageDrive before; the box is then checked
    QTest::addColumn<bool>("fromBox");         // the user checks the box; else the menu entry
    QTest::addColumn<QString>("offered");
    QTest::addColumn<bool>("noCardsMessage");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("checked");

    const TestDrive cdRom{'D', DriveKind::CdRom};
    const TestDrive readerE{'E', DriveKind::Removable};
    const TestDrive readerF{'F', DriveKind::Removable};
    const TestDrive emptySlotE{'E', DriveKind::Removable, false};
    const QList<TestDrive> twoReaders{cdRom, readerE, readerF};

    QTest::newRow("No to E, Yes to F") << twoReaders << "NY"
                                       << "" << false << "EF" << false << "F" << true;
    QTest::newRow("Yes ends the scan") << twoReaders << "Y"
                                       << "" << false << "E" << false << "E" << true;
    // Cards were found, so there is no message, but none was taken.
    QTest::newRow("No to every card") << twoReaders << "NN"
                                      << "G" << false << "EF" << false << "" << false;
    QTest::newRow("from the box, Yes") << twoReaders << "NY"
                                       << "" << true << "EF" << false << "F" << true;
    QTest::newRow("from the box, No") << twoReaders << "NN"
                                      << "" << true << "EF" << false << "" << false;
    // From the menu an earlier choice stays, even for a card that is gone.
    QTest::newRow("none, from the menu") << QList<TestDrive>{cdRom} << ""
                                         << "G" << false << "" << true << "G" << true;
    QTest::newRow("none, from the box") << QList<TestDrive>{cdRom} << ""
                                        << "" << true << "" << true << "" << false;
    // A slot without a card counts as found but is not offered.
    QTest::newRow("empty slot") << QList<TestDrive>{emptySlotE} << ""
                                << "G" << false << "" << false << "" << false;
    QTest::newRow("empty slot, then a card") << QList<TestDrive>{emptySlotE, readerF} << "Y"
                                             << "" << true << "F" << false << "F" << true;
    QTest::newRow("A and B are never cards")
            << QList<TestDrive>{{'A', DriveKind::Removable}, {'B', DriveKind::Removable}} << ""
            << "" << false << "" << true << "" << false;
    QTest::newRow("box with a card chosen") << twoReaders << ""
                                            << "E" << true << "" << false << "E" << true;
}

void TestStorageCards::scan()
{
    QFETCH(QList<TestDrive>, drives);
    QFETCH(QString, answers);
    QFETCH(QString, chosenBefore);
    QFETCH(bool, fromBox);
    SourcesWindow window;
    CardMachine cards(window.machine);
    for (const TestDrive &drive : drives)
        cards.add(drive);
    Form1 &form = *window.form;
    form.StorageDrive = chosenBefore;
    if (!chosenBefore.isEmpty() && !fromBox)
        form.chkCopytoStorage->setChecked(true);
    for (QChar answer : answers)
        answer == 'Y' ? window.dialogs.answerYes() : window.dialogs.answerNo();

    if (fromBox)
        form.chkCopytoStorage->click();
    else
        form.mnuCheckStorageCards->trigger();

    QTEST(offeredLetters(window.dialogs), "offered");
    QTEST(window.dialogs.texts().contains(noCards), "noCardsMessage");
    QTEST(form.StorageDrive, "chosen");
    QTEST(form.chkCopytoStorage->isChecked(), "checked");
}

QTEST_MAIN(TestStorageCards)
#include "test_storage_cards.moc"
