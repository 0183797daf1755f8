#include "app_fixture.h"

#include "app/form1_layout.h"
#include "common/rounding.h"

#include <QAccessible>
#include <QCheckBox>
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

// The window as drawn, in twips: name, kind, left, top, width (0: a line), height.
struct Drawn
{
    const char *name;
    const char *kind;
    int left, top, width, height;
};
const Drawn drawn[] = {
        {"Label10", "QLabel", 0, 0, 1695, 210},
        {"cmdInput", "QPushButton", 0, 240, 1092, 300},
        {"cmdOutput", "QPushButton", 0, 600, 1092, 300},
        {"Text4", "TextBox", 1200, 360, 2292, 732},
        {"Label9", "QLabel", 3600, 0, 1452, 204},
        {"Text3", "TextBox", 3600, 360, 3492, 2600},
        {"Label8", "QLabel", 0, 1080, 1692, 204},
        {"File1", "FileListBox", 0, 1320, 3492, 1560},
        {"Label4", "QLabel", 120, 3180, 612, 252},
        {"Combo1", "QComboBox", 720, 3120, 6372, 315},
        {"Label7", "QLabel", 2520, 3600, 4452, 204},
        {"optOnePass", "QRadioButton", 720, 3840, 1695, 200},
        {"Label1", "QLabel", 2520, 3840, 2532, 204},
        {"lblPassInfo", "ClickableLabel", 770, 4080, 255, 200},
        {"Label2", "QLabel", 2520, 4080, 2532, 204},
        {"chkCopytoStorage", "QCheckBox", 5160, 4080, 1812, 252},
        {"optTwoPass", "QRadioButton", 720, 4320, 1695, 200},
        {"Label3", "QLabel", 2520, 4320, 2532, 204},
        {"File2", "FileListBox", 120, 4320, 492, 264},
        {"Label5", "QLabel", 2520, 4560, 4452, 204},
        {"Label6", "QLabel", 2520, 4560, 2532, 204},
        {"ProgressBar1", "QProgressBar", 240, 4800, 6735, 100},
        {"Line1", "QFrame", 230, 4800, 0, 100},
        {"Line2", "QFrame", 6975, 4800, 0, 100},
        {"cmdReset", "QPushButton", 240, 4920, 2172, 340},
        {"cmdStart", "QPushButton", 2520, 4920, 2172, 340},
        {"cmdStop", "QPushButton", 4800, 4920, 2172, 340},
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

QRect pixels(int left, int top, int width, int height)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const auto px = [](int twips, qreal dpi) {
        return static_cast<int>(roundHalfEven(twips * dpi / 1440.0));
    };
    const qreal x = screen->logicalDotsPerInchX();
    const qreal y = screen->logicalDotsPerInchY();
    return QRect(px(left, x), px(top, y), width == 0 ? 1 : px(width, x), px(height, y));
}

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
    void init();
    void cleanup() { m_app.reset(); }

    void controls_data();
    void controls();
    void stateAtOpening();
    void textsFitTheirBoxes();
    void pictures_data();
    void pictures();
    void frameKeepsItsSize();
    void menus();
    void tabOrderAndFocus();
    void screenReaderNames();
    void keyboardReachesEveryCommand();
    void profileBox_data();
    void profileBox();
    void profileEditorOpensOverTheWindow();

private:
    Form1 &form() { return *m_app->form; }

    std::unique_ptr<AppFixture> m_app;
};

void TestWindow::init()
{
    m_app = std::make_unique<AppFixture>();
    m_app->install();
    m_app->open();
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
}

void TestWindow::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    for (const Drawn &d : drawn)
        QTest::newRow(d.name) << QString(d.kind) << pixels(d.left, d.top, d.width, d.height);
}

// Every control's kind, place and size, text, hover tip, font and visibility as drawn; the
// option buttons are as tall as their indicator needs.
void TestWindow::controls()
{
    QFETCH(QString, kind);
    const QString name = QLatin1String(QTest::currentDataTag());
    const QStringList caption = captions.value(name, {"", ""});
    auto *widget = form().findChild<QWidget *>(name);
    QVERIFY(widget && widget->inherits(kind.toLatin1()));
    QCOMPARE(widget->parentWidget(), form().centralWidget());
    QFETCH(QRect, geometry);
    if (auto *option = qobject_cast<QRadioButton *>(widget)) {
        // Grown about its middle where the round indicator needs more height.
        const QRect place = option->geometry();
        QCOMPARE(QList<int>({place.left(), place.width()}),
                 QList<int>({geometry.left(), geometry.width()}));
        QVERIFY(qAbs(place.center().y() - geometry.center().y()) <= 1);
        QVERIFY(place.height() >= geometry.height());
        const int indicator = option->style()->pixelMetric(
                QStyle::PM_ExclusiveIndicatorHeight, nullptr, option);
        QVERIFY(place.height() > indicator);
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
void TestWindow::stateAtOpening()
{
    Form1 &f = form();
    QVERIFY(f.optTwoPass->isChecked() && !f.optOnePass->isChecked());
    QVERIFY(!f.chkCopytoStorage->isChecked());
    const QProgressBar &bar = *f.ProgressBar1;
    QCOMPARE(QList<int>({bar.minimum(), bar.maximum(), bar.value()}), QList<int>({0, 100, 0}));
    QCOMPARE(f.Timer1->interval(), 1000);
    QVERIFY(f.Combo1->isEditable());
    for (QWidget *list : {(QWidget *)f.Text3, (QWidget *)f.Text4, (QWidget *)f.File1})
        QCOMPARE(list->palette().color(QPalette::Base), QColor(192, 255, 255));
    QCOMPARE(f.Line1->frameShape(), QFrame::VLine);
}

// Where "MS Sans Serif" is missing, a face of its widths stands in (not the desktop's wider
// sans face), so every text stays inside its box.
void TestWindow::textsFitTheirBoxes()
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

void TestWindow::pictures_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("face");
    QTest::addColumn<QColor>("mark"); // the symbol at the left

    const QColor face(236, 233, 216);
    const QColor teal(0, 192, 192);
    QTest::newRow("cmdStart") << QSize(150, 31) << face << QColor(0, 160, 0);
    QTest::newRow("cmdStop") << QSize(150, 31) << face << QColor(208, 0, 0);
    QTest::newRow("cmdReset") << QSize(150, 31) << face << QColor(0, 0, 0);
    QTest::newRow("cmdInput") << QSize(74, 20) << teal << QColor(255, 255, 153);
    QTest::newRow("cmdOutput") << QSize(74, 20) << teal << QColor(255, 255, 153);
}

// Each picture button has its face colour and shows only its picture: the symbol at the
// left, the word in black.
void TestWindow::pictures()
{
    QFETCH(QSize, size);
    QFETCH(QColor, face);
    QFETCH(QColor, mark);

    auto *button = form().findChild<QPushButton *>(QLatin1String(QTest::currentDataTag()));
    QVERIFY(button->text().isEmpty());
    QCOMPARE(button->palette().color(QPalette::Button), face);
    QCOMPARE(button->iconSize(), size);
    const QImage image = button->icon().pixmap(size).toImage().scaled(size);
    QVERIFY(showsColour(image, QRect(0, 0, size.height(), size.height()), mark));
    QVERIFY(showsColour(
            image, QRect(size.height() + 4, 0, size.width() / 2, size.height()), Qt::black));
}

// The title, the icon, no maximise command, centred at first; the window is of fixed size
// (its client area as laid out below the menu bar), and neither a resize nor minimising and
// restoring changes it, with no message.
void TestWindow::frameKeepsItsSize()
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

    const QScreen &s = *form().screen();
    const QSize client = form1ClientSize(s.logicalDotsPerInchX(), s.logicalDotsPerInchY());
    const QSize size = form().size();
    QCOMPARE(form().centralWidget()->size(), client);
    QCOMPARE(form().minimumSize(), size);
    QCOMPARE(form().maximumSize(), size);
    form().resize(200, 150);
    QCOMPARE(form().size(), size);
    form().showMinimized();
    QTRY_VERIFY(form().isMinimized());
    form().showNormal();
    QTRY_COMPARE(form().size(), size);
    QCOMPARE(form().centralWidget()->size(), client);
    QVERIFY(m_app->dialogs.boxes().isEmpty());

    // Closing releases the file system; the encoder outlives the unload.
    QVERIFY(form().close());
    QVERIFY(!form().FileSys && form().Encoder);
}

// The two menus in order, their entries and separators; no access keys or shortcuts.
void TestWindow::menus()
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
                     "mnuInfo=Info|mnuOpt4=-|mnuDownload=Download Windows Media Encoder 9 Series|"
                     "mnuOpt5=-|mnuAbout=About")
                     .split('|'));
}

// Tab walks the controls in the drawn order, nothing else of the client area takes the
// focus by Tab, and cmdStart has the focus when the window opens.
void TestWindow::tabOrderAndFocus()
{
    QStringList order;
    QWidget *widget = form().cmdStart;
    do {
        // A control's inner parts (the combo box's text field) count as the control.
        QWidget *control = widget;
        while (control->parentWidget() != form().centralWidget() && control != &form())
            control = control->parentWidget();
        if ((widget->focusPolicy() & Qt::TabFocus) && control != &form()
            && !order.contains(control->objectName()))
            order.append(control->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != form().cmdStart);
    QCOMPARE(order.join(' '),
             "cmdStart File1 cmdReset cmdStop Combo1 Text3 Text4 cmdInput cmdOutput optOnePass "
             "optTwoPass chkCopytoStorage");

    form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    QCOMPARE(QApplication::focusWidget(), form().cmdStart);
}

// A screen reader names every control the focus reaches: by its caption, the word on its
// picture, or the label above it. The profile box is named by its choice and labelled
// "Profile:".
void TestWindow::screenReaderNames()
{
    QStringList names;
    QWidget *widget = form().cmdStart;
    do {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isVisibleTo(&form())
            && widget != form().Combo1->lineEdit()) {
            QAccessibleInterface *control = QAccessible::queryAccessibleInterface(widget);
            names.append(control->text(QAccessible::Name));
        }
        widget = widget->nextInFocusChain();
    } while (widget != form().cmdStart);
    QCOMPARE(names.join('|'),
             "encode|Select Files|reset|stop|Kestrel Medium|My Files|Select Folders|input|"
             "output|1-pass encoding|2-pass encoding|copy to storage card");
    const auto labels
            = QAccessible::queryAccessibleInterface(form().Combo1)->relations(QAccessible::Label);
    QCOMPARE(labels.value(0).first->text(QAccessible::Name), "Profile:");
}

// F10 opens the menus, which have no access keys; F1 on a pass option explains the passes,
// as the "?" beside them does for the mouse.
void TestWindow::keyboardReachesEveryCommand()
{
    form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    QTest::keyClick(&form(), Qt::Key_F10);
    QTRY_VERIFY(form().mnuProfile->isVisible());
    QTest::keyClick(form().mnuProfile, Qt::Key_Escape);
    QTRY_VERIFY(!form().mnuProfile->isVisible());

    for (QRadioButton *option : {form().optOnePass, form().optTwoPass}) {
        option->setFocus();
        QTest::keyClick(option, Qt::Key_F1);
    }
    const QStringList boxes = m_app->dialogs.texts();
    QCOMPARE(boxes.size(), 2);
    QVERIFY(boxes[0].startsWith("During one-pass encoding") && boxes[1] == boxes[0]);
}

void TestWindow::profileBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key"); // what ends the typing: Enter, or Tab leaving the box
    QTest::addColumn<QString>("profile");

    QTest::newRow("a profile's name") << "Kestrel Low" << int(Qt::Key_Return) << "Kestrel Low";
    QTest::newRow("no profile's name") << "Evening" << int(Qt::Key_Return) << "Kestrel Medium";
    QTest::newRow("other letter case") << "kestrel low" << int(Qt::Key_Return) << "Kestrel Medium";
    QTest::newRow("leaving the box") << "Evening" << int(Qt::Key_Tab) << "Kestrel Medium";
    QTest::newRow("emptied") << "" << int(Qt::Key_Return) << "Kestrel Medium";
}

// Typing into the profile box chooses a profile by its exact name and never adds an entry;
// whatever was typed, the box ends up showing the profile the next file is encoded with, and
// "Current Profile" names that one too.
void TestWindow::profileBox()
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
    QTEST(form().SourceGroup->profile()->name(), "profile");
    form().mnuCurrentProfile->trigger();
    QTEST(m_app->dialogs.texts().value(0), "profile");
}

// The profile editor is told where this window's middle is, so it opens over it.
void TestWindow::profileEditorOpensOverTheWindow()
{
    const QString editor
            = m_app->machine.writeFile("C:\\Program Files\\Windows Media Components\\Encoder\\"
                                       "WMProEdt.exe");
    QVERIFY(QFile::setPermissions(editor, QFile::ReadOwner | QFile::ExeOwner));
    form().move(100, 50);
    form().mnuProfileEditor->trigger();
    QCOMPARE(m_app->machine.launches().size(), 1);
    const QPoint centre = form().frameGeometry().center();
    QCOMPARE(m_app->machine.launches()[0].arguments,
             QStringList(QString("--centre=%1,%2").arg(centre.x()).arg(centre.y())));
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
