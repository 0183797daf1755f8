// The program's real message boxes.

#include "widgets/dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void messageBoxes_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("press"); // NoButton: closed
        QTest::newRow("OK") << QMessageBox::Ok;
        QTest::newRow("Yes") << QMessageBox::Yes;
        QTest::newRow("closed") << QMessageBox::NoButton;
    }

    // Title, buttons, no icon, CR LF as line breaks; only Yes counts as yes.
    void messageBoxes()
    {
        QFETCH(QMessageBox::StandardButton, press);
        const bool question = press != QMessageBox::Ok;
        QString seen; // title|text|icon|buttons
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                answer.stop();
                seen = QString("%1|%2|%3|%4").arg(box->windowTitle(), box->text());
                seen = seen.arg(box->icon()).arg(int(box->standardButtons()));
                press == QMessageBox::NoButton ? box->reject() : box->button(press)->click();
            }
        });
        answer.start(10);

        const QString lines = QStringLiteral("first line\r\nsecond line");
        if (question)
            QCOMPARE(askYesNo(lines), press == QMessageBox::Yes);
        else
            msgBox(lines);
        const auto buttons = question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
        QCOMPARE(seen,
                 QString("Clipferry|first line\nsecond line|%1|%2")
                         .arg(QMessageBox::NoIcon)
                         .arg(int(buttons)));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
