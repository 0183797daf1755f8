#include "widgets/clickable_label.h"
#include "widgets/text_box.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QtTest>

namespace {

// The window as drawn, in pixels at the test platform's 96 dpi: name, kind, place and size.
struct Drawn
{
    const char *name;
    const char *kind;
    QRect geometry;
};
const Drawn drawn[] = {
        {"Label10", "QLabel", {0, 0, 113, 14}},
        {"cmdInput", "QPushButton", {0, 16, 73, 20}},
        {"cmdOutput", "QPushButton", {0, 40, 73, 20}},
        {"Text4", "TextBox", {80, 24, 153, 49}},
        {"Label9", "QLabel", {240, 0, 97, 14}},
        {"Text3", "TextBox", {240, 24, 233, 173}},
        {"Label8", "QLabel", {0, 72, 113, 14}},
        {"File1", "FileListBox", {0, 88, 233, 104}},
        {"Label4", "QLabel", {8, 212, 41, 17}},
        {"Combo1", "QComboBox", {48, 208, 425, 21}},
        {"Label7", "QLabel", {168, 240, 297, 14}},
        {"optOnePass", "QRadioButton", {48, 256, 113, 13}},
        {"Label1", "QLabel", {168, 256, 169, 14}},
        {"lblPassInfo", "ClickableLabel", {51, 272, 17, 13}},
        {"Label2", "QLabel", {168, 272, 169, 14}},
        {"chkCopytoStorage", "QCheckBox", {344, 272, 121, 17}},
        {"optTwoPass", "QRadioButton", {48, 288, 113, 13}},
        {"Label3", "QLabel", {168, 288, 169, 14}},
        {"File2", "FileListBox", {8, 288, 33, 18}},
        {"Label5", "QLabel", {168, 304, 297, 14}},
        {"Label6", "QLabel", {168, 304, 169, 14}},
        {"ProgressBar1", "QProgressBar", {16, 320, 449, 7}},
        {"Line1", "QFrame", {15, 320, 1, 7}},
        {"Line2", "QFrame", {465, 320, 1, 7}},
        {"cmdReset", "QPushButton", {16, 328, 145, 23}},
        {"cmdStart", "QPushButton", {168, 328, 145, 23}},
        {"cmdStop", "QPushButton", {320, 328, 145, 23}},
};

// Texts and hover tips as the user reads them; the other controls show neither.
const QHash<QString, QStringList> captions{
        {"Label10", {"Select Folders:", "Step 1: Use input/output buttons to select directories."}},
        {"cmdInput", {"", "Step 1a: Use input button to select input-directory."}},
        {"cmdOutput", {"", "Step 1b: Use output button to select output-directory."}},
        {"Label9", {"My Files:", "List of selected files."}},
        {"Label8",
         {"Select Files:", "Step 2: Select files. Use Ctrl-key to select multiple files."}},
        {"Label4", {"Profile:", "Default profile is Kestrel Medium"}},
        {"optOnePass", {"1-pass encoding", "click ? for info"}},
        {"lblPassInfo", {"?", "click for info"}},
        {"chkCopytoStorage", {"copy to storage card", ""}},
        {"optTwoPass", {"2-pass encoding", "click ? for info"}},
};
const QStringList bold{"Label10", "Label8", "lblPassInfo"};
const QStringList hidden{"File2", "Label6", "Line1", "Line2"};

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

    void controls_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QRect>("geometry");
        for (const Drawn &d : drawn)
            QTest::newRow(d.name) << QString(d.kind) << d.geometry;
    }

    // Each control as drawn; an option button grows about its middle to fit its indicator.
    void controls()
    {
        QFETCH(QString, kind);
        QFETCH(QRect, geometry);
        QCOMPARE(form().screen()->logicalDotsPerInchX(), 96.0);
        const QString name = QLatin1String(QTest::currentDataTag());
        const QStringList caption = captions.value(name, {"", ""});
        auto *widget = form().findChild<QWidget *>(name);
        QVERIFY(widget && widget->inherits(kind.toLatin1()));
        QCOMPARE(widget->parentWidget(), form().centralWidget());
        if (auto *option = qobject_cast<QRadioButton *>(widget)) {
            const QRect place = option->geometry();
            QCOMPARE(QList<int>({place.left(), place.width()}),
                     QList<int>({geometry.left(), geometry.width()}));
            QVERIFY(qAbs(place.center().y() - geometry.center().y()) <= 1);
            QVERIFY(place.height() >= geometry.height());
            QVERIFY(place.height() > option->style()->pixelMetric(
                            QStyle::PM_ExclusiveIndicatorHeight, nullptr, option));
        } else {
            QCOMPARE(widget->geometry(), geometry);
        }
        if (widget->inherits("QLabel") || widget->inherits("QAbstractButton"))
            QCOMPARE(widget->property("text").toString(), caption[0]);
        QCOMPARE(widget->toolTip(), caption[1]);
        QCOMPARE(widget->isVisibleTo(&form()), !hidden.contains(name));
        QVERIFY(widget->isEnabled());
        QCOMPARE(widget->font().bold(), bold.contains(name));
        QCOMPARE(widget->font().pointSizeF(), bold.contains(name) ? 7.8 : 8.0);
    }

    // The settings at opening that the layout table does not show.
    void stateAtOpening()
    {
        Form1 &f = form();
        QVERIFY(f.optTwoPass->isChecked() && !f.optOnePass->isChecked());
        QVERIFY(!f.chkCopytoStorage->isChecked());
        const QProgressBar &bar = *f.ProgressBar1;
        QCOMPARE(QList<int>({bar.minimum(), bar.maximum(), bar.value()}), QList<int>({0, 100, 0}));
        QCOMPARE(f.Timer1->interval(), 1000);
        for (QWidget *list : {(QWidget *)f.Text3, (QWidget *)f.Text4, (QWidget *)f.File1})
            QCOMPARE(list->palette().color(QPalette::Base), QColor(192, 255, 255));
    }

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

    // Title, icon, no maximise, centred, fixed size (resized on the desktops); closing
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
        QCOMPARE(form().centralWidget()->size(), QSize(474, 362)); // 7116 x 5424 twips
        QCOMPARE(form().minimumSize(), form().size());
        QCOMPARE(form().maximumSize(), form().size());

        QVERIFY(form().close());
        QVERIFY(!form().FileSys && form().jobSetup().Encoder);
    }

    // The two menus in order, their entries and separators; no access keys or shortcuts.
    void menus()
    {
        QStringList shown;
        for (QAction *title : form().menuBar()->actions()) {
            shown.append(title->menu()->objectName() + '=' + title->text());
            for (QAction *action : title->menu()->actions()) {
                shown.append(action->objectName() + '='
                             + (action->isSeparator() ? "-" : action->text()));
                QVERIFY(action->shortcut().isEmpty() && !action->text().contains('&'));
            }
        }
        QCOMPARE(shown,
                 QString("mnuProfile=Settings|mnuCurrentProfile=Current Profile|mnuOpt1=-|"
                         "mnuProfileSetup=Check Profile Setup|mnuOpt2=-|mnuProfileEditor=Profile "
                         "Editor|mnuOpt3=-|mnuCheckStorageCards=Check Storage Cards|mnuHelp=Help|"
                         "mnuInfo=Info|mnuOpt4=-|mnuDownload=Download Windows Media Encoder 9 "
                         "Series|mnuOpt5=-|mnuAbout=About")
                         .split('|'));
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
