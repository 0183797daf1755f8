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
        QTest::addColumn<int>("buttons");
        const int yesNo = QMessageBox::Yes | QMessageBox::No;
        QTest::newRow("OK") << QMessageBox::Ok << int(QMessageBox::Ok);
        QTest::newRow("Yes") << QMessageBox::Yes << yesNo;
        QTest::newRow("closed") << QMessageBox::NoButton << yesNo;
    }

    // Title, buttons, no icon, CR LF as line breaks; only Yes counts as yes.
    void messageBoxes()
    {
        QFETCH(QMessageBox::StandardButton, press);
        const bool question = press != QMessageBox::Ok;
        QString title, text;
        int icon = -1, buttons = 0;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                answer.stop();
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                buttons = int(box->standardButtons());
                press == QMessageBox::NoButton ? box->reject() : box->button(press)->click();
            }
        });
        answer.start(10);

        const QString lines = QStringLiteral("first line\r\nsecond line");
        if (question)
            QCOMPARE(askYesNo(lines), press == QMessageBox::Yes);
        else
            msgBox(lines);
        QCOMPARE(title, "Clipferry");
        QCOMPARE(text, "first line\nsecond line");
        QCOMPARE(icon, int(QMessageBox::NoIcon));
        QTEST(buttons, "buttons");
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
