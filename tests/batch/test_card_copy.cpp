#include "batch_window.h"
#include "sources/file_list_box.h"

#include <QtTest>

// The copy of each finished output to the chosen storage card.
class TestCardCopy : public QObject
{
    Q_OBJECT
private slots:
    void copyAfterEachFile_data();
    void copyAfterEachFile();
    void failingCopyEndsTheBatchAndLeavesNoPart();

private:
    static QString prepare(BatchWindow &w, const QString &storageDrive);
};

// A card in E:, the box ticked, a.mpg and b.mpg selected; returns the card's native root.
QString TestCardCopy::prepare(BatchWindow &w, const QString &storageDrive)
{
    const QString card = w.insertCard(storageDrive);
    w.listAndSelect({QStringLiteral("a.mpg"), QStringLiteral("b.mpg")});
    return card;
}

void TestCardCopy::copyAfterEachFile_data()
{
    QTest::addColumn<QString>("storageDrive");
    QTest::addColumn<QByteArray>("alreadyOnCard"); // a.wmv on the card before; "" = none
    QTest::addColumn<bool>("pullCardDuringSecond");
    QTest::addColumn<bool>("stopSecond");
    QTest::addColumn<QByteArray>("cardA");
    QTest::addColumn<QByteArray>("cardB");

    const QByteArray a("a.mpg encoded"), b("b.mpg encoded"), none("<missing>");
    QTest::newRow("both copied") << "E" << QByteArray() << false << false << a << b;
    QTest::newRow("a file of that name stays")
            << "E" << QByteArray("old") << false << false << QByteArray("old") << b;
    QTest::newRow("card pulled: not ready") << "E" << QByteArray() << true << false << a << none;
    QTest::newRow("stopped file copied too") << "E" << QByteArray() << false << true << a << b;
    QTest::newRow("no card chosen") << "" << QByteArray() << false << false << none << none;
}

void TestCardCopy::copyAfterEachFile()
{
    QFETCH(QString, storageDrive);
    QFETCH(QByteArray, alreadyOnCard);
    QFETCH(bool, pullCardDuringSecond);
    QFETCH(bool, stopSecond);
    QFETCH(QByteArray, cardA);
    QFETCH(QByteArray, cardB);
    BatchWindow w;
    const QString card = prepare(w, storageDrive);
    if (!alreadyOnCard.isEmpty())
        w.machine.writeFile(QStringLiteral("E:\\a.wmv"), alreadyOnCard);
    w.onState([&](qint32 state, int job) {
        if (state != EncoderStarting)
            return;
        w.writeOutputOfLastJob();
        if (job == 2 && pullCardDuringSecond)
            w.machine.addEmptySlot(QLatin1Char('E'));
        if (job == 2 && stopSecond)
            w.form->cmdStop->click();
        else
            w.backend->finish();
    });
    w.form->cmdStart->click();

    QCOMPARE(w.backend->started().size(), 2);
    QCOMPARE(w.readNative(card + QStringLiteral("/a.wmv")), cardA);
    QCOMPARE(w.readNative(card + QStringLiteral("/b.wmv")), cardB);
    QCOMPARE(w.dialogs.texts(), QStringList());
}

void TestCardCopy::failingCopyEndsTheBatchAndLeavesNoPart()
{
    BatchWindow w;
    const QString card = prepare(w, QStringLiteral("E"));
    // A folder under the output's name: no file of that name is there, yet the copy fails.
    w.machine.makeFolder(QStringLiteral("E:\\a.wmv"));
    w.finishEachJob();
    w.form->cmdStart->click();

    QCOMPARE(w.backend->started().size(), 1);
    QCOMPARE(w.dialogs.texts().size(), 1);
    QVERIFY2(w.dialogs.texts().first().startsWith(
                     QStringLiteral("Cannot copy C:\\Out\\a.wmv to E:\\a.wmv")),
             qPrintable(w.dialogs.texts().first()));
    QCOMPARE(w.form->File1->Path(), QStringLiteral("C:\\Program Files\\Clipferry"));
    QCOMPARE(QDir(card).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestCardCopy)
#include "test_card_copy.moc"
