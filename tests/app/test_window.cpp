#include "widgets/clickable_label.h"
#include "widgets/text_box.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QtTest>

namespace {

// True when a colour close to the wanted one appears in the image's part.
bool showsColour(const QImage &image, const QRect &part, const QColor &wanted)
{
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - wanted.red()) + qAbs(c.green() - wanted.green())
                        + qAbs(c.blue() - wanted.blue())
                < 60)
                return true;
        }
    }
    return false;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        m_app = std::make_unique<WindowFixture>();
        m_app->install();
        m_app->open();
        QVERIFY(QTest::qWaitForWindowExposed(&m_app->show()));
    }
    void cleanup() { m_app.reset(); }

    // Without "MS Sans Serif", a face of its widths stands in: every text fits its box.
    void textsFitTheirBoxes()
    {
        if (!QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")))
            QSKIP("Needs the fonts-liberation package");
        for (QWidget *widget : form().centralWidget()->findChildren<QWidget *>()) {
            const QString text = widget->property("text").toString();
            int needed = widget->fontMetrics().horizontalAdvance(text);
            if (widget->inherits("QCheckBox") || widget->inherits("QRadioButton"))
                needed += widget->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget)
                          + widget->style()->pixelMetric(
                                  QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
            QVERIFY2(needed <= widget->width(), qPrintable(widget->objectName()));
        }
    }

    void pictures_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QColor>("mark"); // the symbol at the left

        const QColor face(236, 233, 216), teal(0, 192, 192), yellow(255, 255, 153);
        QTest::newRow("cmdStart") << QSize(150, 31) << face << QColor(0, 160, 0);
        QTest::newRow("cmdStop") << QSize(150, 31) << face << QColor(208, 0, 0);
        QTest::newRow("cmdReset") << QSize(150, 31) << face << QColor(0, 0, 0);
        QTest::newRow("cmdInput") << QSize(74, 20) << teal << yellow;
        QTest::newRow("cmdOutput") << QSize(74, 20) << teal << yellow;
    }

    // Each picture button: its face colour, its symbol at the left and its word in black.
    void pictures()
    {
        QFETCH(QSize, size);
        QFETCH(QColor, mark);
        auto *button = form().findChild<QPushButton *>(QLatin1String(QTest::currentDataTag()));
        QTEST(button->palette().color(QPalette::Button), "face");
        QCOMPARE(button->iconSize(), size);
        const QImage image = button->icon().pixmap(size).toImage().scaled(size);
        QVERIFY(showsColour(image, QRect(0, 0, size.height(), size.height()), mark));
        QVERIFY(showsColour(
                image, QRect(size.height() + 4, 0, size.width() / 2, size.height()), Qt::black));
    }

    // Title, icon, no maximise, centred, fixed size (checked on the desktops); closing
    // releases the file system but not the encoder.
    void frame()
    {
        QCOMPARE(form().windowTitle(), QStringLiteral("Clipferry"));
        const Qt::WindowFlags flags = form().windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint) && flags & Qt::WindowMinimizeButtonHint
                && flags & Qt::WindowCloseButtonHint);
        const QImage icon = form().windowIcon().pixmap(16, 16).toImage().scaled(16, 16);
        QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);         // round: the corners are clear
        QCOMPARE(icon.pixelColor(7, 2), QColor(Qt::white)); // the disc
        QCOMPARE(icon.pixelColor(7, 4), QColor(Qt::black)); // a stripe
        const QRect screen = form().screen()->availableGeometry();
        QVERIFY((form().frameGeometry().center() - screen.center()).manhattanLength() <= 2);
        QCOMPARE(form().minimumSize(), form().size());
        QCOMPARE(form().maximumSize(), form().size());

        QVERIFY(form().close());
        QVERIFY(!form().FileSys && form().jobSetup().Encoder);
    }

    void tabWalk_data()
    {
        QTest::addColumn<bool>("forward");
        QTest::newRow("Tab") << true;
        QTest::newRow("Shift+Tab") << false;
    }

    // cmdStart has the focus at opening; Tab and Shift+Tab lead from every control to the next
    // in the drawn order, each named for a screen reader.
    void tabWalk()
    {
        QFETCH(bool, forward);
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        QStringList order;
        for (int step = 0; step <= 12; ++step) {
            QWidget *control = QApplication::focusWidget(); // or its part, the profile's field
            while (control && control->parentWidget() != form().centralWidget())
                control = control->parentWidget();
            QVERIFY(control);
            order.append(control->objectName() + '='
                         + QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name));
            QTest::keyClick(QApplication::focusWidget(),
                            Qt::Key_Tab,
                            forward ? Qt::NoModifier : Qt::ShiftModifier);
        }
        QStringList expected = QString("cmdStart=encode|File1=Select Files|cmdReset=reset|"
                                       "cmdStop=stop|Combo1=Kestrel Medium|Text3=My Files|"
                                       "Text4=Select Folders|cmdInput=input|cmdOutput=output|"
                                       "optOnePass=1-pass encoding|optTwoPass=2-pass encoding|"
                                       "chkCopytoStorage=copy to storage card")
                                       .split('|');
        if (!forward)
            std::reverse(expected.begin() + 1, expected.end());
        QCOMPARE(order, expected << expected.first());
        const auto labels = QAccessible::queryAccessibleInterface(form().Combo1)
                                    ->relations(QAccessible::Label);
        QCOMPARE(labels.value(0).first->text(QAccessible::Name), "Profile:");
    }

    // The boxes show what the program decided: typing and pasting leave them as they were; the
    // keyboard selects and copies their text.
    void boxesTakeNoTyping()
    {
        for (TextBox *box : {form().Text3, form().Text4}) {
            box->setText("one.mpg\r\ntwo.mpg");
            QApplication::clipboard()->setText("pasted");
            QTest::mouseClick(box->viewport(), Qt::LeftButton);
            QTest::keyClicks(box, "zzz.mpg");
            for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Delete})
                QTest::keyClick(box, key);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(box->toPlainText(), "one.mpg\ntwo.mpg"); // as shown
            QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
            QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QApplication::clipboard()->text(), "one.mpg");
        }
    }

    void f10OpensTheMenus()
    {
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        QTest::keyClick(&form(), Qt::Key_F10);
        QTRY_VERIFY(form().mnuProfile->isVisible());
        QTest::keyClick(form().mnuProfile, Qt::Key_Escape);
        QTRY_VERIFY(!form().mnuProfile->isVisible());
    }

    // F1 on a pass option gives the box the "?" beside them gives.
    void f1OnAPassOptionExplainsThem()
    {
        QTest::mouseClick(form().lblPassInfo, Qt::LeftButton);
        for (QRadioButton *option : {form().optOnePass, form().optTwoPass}) {
            option->setFocus();
            QTest::keyClick(option, Qt::Key_F1);
        }
        const QStringList boxes = m_app->dialogs.texts();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(!boxes[0].isEmpty() && boxes.count(boxes[0]) == 3);
    }

    void profileBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key"); // what ends the typing: Enter, or Tab leaving the box
        QTest::addColumn<QString>("profile");

        const int enter = Qt::Key_Return;
        QTest::newRow("a profile's name") << "Kestrel Low" << enter << "Kestrel Low";
        QTest::newRow("no profile's name") << "Evening" << enter << "Kestrel Medium";
        QTest::newRow("other letter case") << "kestrel low" << enter << "Kestrel Medium";
        QTest::newRow("leaving the box") << "Evening" << int(Qt::Key_Tab) << "Kestrel Medium";
        QTest::newRow("emptied") << "" << enter << "Kestrel Medium";
    }

    // Typing chooses a profile by its exact name only and adds no entry; the box shows the one in
    // use.
    void profileBox()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QComboBox *box = form().Combo1;
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(box->lineEdit(), typed);
        QTest::keyClick(box->lineEdit(), Qt::Key(key));
        QCOMPARE(box->count(), 3);
        QTEST(box->currentText(), "profile");
        QTEST(form().jobSetup().SourceGroup->profile()->name(), "profile");
    }

private:
    Form1 &form() { return *m_app->form; }

    std::unique_ptr<WindowFixture> m_app;
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
