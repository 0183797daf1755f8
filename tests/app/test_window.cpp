#include "app_fixture.h"

#include "app/text_box.h"
#include "common/rounding.h"
#include "sources/file_list_box.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
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

int px(int twips, qreal dpi)
{
    return static_cast<int>(roundHalfEven(twips * dpi / 1440.0));
}

QRect expectedRect(int left, int top, int width, int height)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal x = screen->logicalDotsPerInchX();
    const qreal y = screen->logicalDotsPerInchY();
    // A line is one pixel wide.
    return QRect(px(left, x), px(top, y), width == 0 ? 1 : px(width, x), px(height, y));
}

QSize expectedOuterSize()
{
    return expectedRect(0, 0, 7200, 6200).size();
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
    void fonts();
    void pictures_data();
    void pictures();
    void windowIcon();
    void frame();
    void keepsItsSize();
    void menus_data();
    void menus();
    void tabOrderAndFocus();

private:
    Form1 &form() { return *m_app->form; }

    std::unique_ptr<AppFixture> m_app;
};

void TestWindow::init()
{
    m_app = std::make_unique<AppFixture>();
    m_app->installAll();
    m_app->open();
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
}

void TestWindow::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("twips"); // left, top, width, height
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("bold");

    const auto row = [](const char *name,
                        const char *kind,
                        int l,
                        int t,
                        int w,
                        int h,
                        const char *text = "",
                        const char *tip = "",
                        bool visible = true,
                        bool bold = false) {
        QTest::newRow(name) << QString(kind) << QRect(l, t, w, h) << QString(text) << QString(tip)
                            << visible << bold;
    };
    row("Label10",
        "QLabel",
        0,
        0,
        1695,
        210,
        "Select Folders:",
        "Step 1: Use input/output buttons to select directories.",
        true,
        true);
    row("cmdInput",
        "QPushButton",
        0,
        240,
        1092,
        300,
        "",
        "Step 1a: Use input button to select input-directory.");
    row("cmdOutput",
        "QPushButton",
        0,
        600,
        1092,
        300,
        "",
        "Step 1b: Use output button to select output-directory.");
    row("Text4", "TextBox", 1200, 360, 2292, 732);
    row("Label9", "QLabel", 3600, 0, 1452, 204, "My Files:", "List of selected files.");
    row("Text3", "TextBox", 3600, 360, 3492, 2600);
    row("Label8",
        "QLabel",
        0,
        1080,
        1692,
        204,
        "Select Files:",
        "Step 2: Select files. Use Ctrl-key to select multiple files.",
        true,
        true);
    row("File1", "FileListBox", 0, 1320, 3492, 1560);
    row("Label4", "QLabel", 120, 3180, 612, 252, "Profile:", "Default profile is Kestrel Medium");
    row("Combo1", "QComboBox", 720, 3120, 6372, 315);
    row("Label7", "QLabel", 2520, 3600, 4452, 204);
    row("optOnePass", "QRadioButton", 720, 3840, 1695, 200, "1-pass encoding", "click ? for info");
    row("Label1", "QLabel", 2520, 3840, 2532, 204);
    row("lblPassInfo", "ClickableLabel", 770, 4080, 255, 200, "?", "click for info", true, true);
    row("Label2", "QLabel", 2520, 4080, 2532, 204);
    row("chkCopytoStorage", "QCheckBox", 5160, 4080, 1812, 252, "copy to storage card");
    row("optTwoPass", "QRadioButton", 720, 4320, 1695, 200, "2-pass encoding", "click ? for info");
    row("Label3", "QLabel", 2520, 4320, 2532, 204);
    row("File2", "FileListBox", 120, 4320, 492, 264, "", "", false);
    row("Label5", "QLabel", 2520, 4560, 4452, 204);
    row("Label6", "QLabel", 2520, 4560, 2532, 204, "", "", false);
    row("ProgressBar1", "QProgressBar", 240, 4800, 6735, 100);
    row("Line1", "QFrame", 230, 4800, 0, 100, "", "", false);
    row("Line2", "QFrame", 6975, 4800, 0, 100, "", "", false);
    row("cmdReset", "QPushButton", 240, 4920, 2172, 340);
    row("cmdStart", "QPushButton", 2520, 4920, 2172, 340);
    row("cmdStop", "QPushButton", 4800, 4920, 2172, 340);
}

void TestWindow::controls()
{
    QFETCH(QString, kind);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(bool, visible);
    QFETCH(bool, bold);

    auto *widget = form().findChild<QWidget *>(QLatin1String(QTest::currentDataTag()));
    QVERIFY(widget);
    QVERIFY(widget->inherits(kind.toLatin1()));
    QCOMPARE(widget->parentWidget(), form().centralWidget());
    QCOMPARE(widget->geometry(),
             expectedRect(twips.left(), twips.top(), twips.width(), twips.height()));
    if (auto *textBox = qobject_cast<TextBox *>(widget))
        QCOMPARE(textBox->text(), text);
    else if (widget->inherits("QLabel") || widget->inherits("QAbstractButton"))
        QCOMPARE(widget->property("text").toString(), text);
    QCOMPARE(widget->toolTip(), tip);
    QCOMPARE(widget->isVisibleTo(&form()), visible);
    QVERIFY(widget->isEnabled());
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().pointSizeF(), bold ? 7.8 : 8.0);
}

void TestWindow::stateAtOpening()
{
    Form1 &f = form();
    QVERIFY(f.optTwoPass->isChecked());
    QVERIFY(!f.optOnePass->isChecked());
    // The two options are one group: choosing one clears the other.
    f.optOnePass->click();
    QVERIFY(!f.optTwoPass->isChecked());
    QVERIFY(!f.chkCopytoStorage->isChecked());
    QCOMPARE(f.ProgressBar1->minimum(), 0);
    QCOMPARE(f.ProgressBar1->maximum(), 100);
    QCOMPARE(f.ProgressBar1->value(), 0);
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(f.Timer1->interval(), 1000);
    QVERIFY(f.Combo1->isEditable());
    QCOMPARE(f.Label5->geometry().topLeft(), f.Label6->geometry().topLeft());

    const QColor face(236, 233, 216);
    const QColor teal(0, 192, 192);
    for (QPushButton *button : {f.cmdReset, f.cmdStart, f.cmdStop})
        QCOMPARE(button->palette().color(QPalette::Button), face);
    for (QPushButton *button : {f.cmdInput, f.cmdOutput})
        QCOMPARE(button->palette().color(QPalette::Button), teal);
    const QWidget *cyan[] = {f.Text3, f.Text4, f.File1};
    for (const QWidget *list : cyan)
        QCOMPARE(list->palette().color(QPalette::Base), QColor(192, 255, 255));
    for (QFrame *line : {f.Line1, f.Line2}) {
        QCOMPARE(line->frameShape(), QFrame::VLine);
        QCOMPARE(line->lineWidth(), 1);
    }
}

// Where the system lacks "MS Sans Serif", a face of the same widths stands in at the same
// size, so the texts stay inside their boxes.
void TestWindow::fonts()
{
    const QFont font = form().Label9->font();
    QCOMPARE(font.families().value(0), QStringLiteral("MS Sans Serif"));
    QCOMPARE(font.pointSizeF(), 8.0);
    const QString shown = QFontInfo(font).family();
    const QStringList standIns
            = {"MS Sans Serif",
               "Microsoft Sans Serif",
               "Liberation Sans",
               "Arial",
               QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family()};
    QVERIFY2(standIns.contains(shown), qPrintable(shown));
    if (shown == QLatin1String("Liberation Sans")) {
        QCheckBox *box = form().chkCopytoStorage;
        const QStyle *style = box->style();
        const int needed = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box)
                           + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box)
                           + box->fontMetrics().horizontalAdvance(box->text());
        QVERIFY2(needed <= box->width(), qPrintable(QString::number(needed)));
    }
    // The menus keep the desktop's own font.
    QVERIFY(form().menuBar()->font() != font);
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

void TestWindow::pictures()
{
    QFETCH(QSize, size);
    QFETCH(QColor, face);
    QFETCH(QColor, mark);

    auto *button = form().findChild<QPushButton *>(QLatin1String(QTest::currentDataTag()));
    QVERIFY(button);
    QVERIFY(button->text().isEmpty());
    QCOMPARE(button->iconSize(), size);
    const QImage image = button->icon().pixmap(size).toImage().scaled(size);
    QCOMPARE(image.pixelColor(size.width() - 2, 2), face);
    QVERIFY(showsColour(image, QRect(0, 0, size.height(), size.height()), mark));
    // The word takes the rest, in black.
    QVERIFY(showsColour(
            image, QRect(size.height() + 4, 0, size.width() / 2, size.height()), Qt::black));
}

void TestWindow::windowIcon()
{
    const QImage icon = form().windowIcon().pixmap(16, 16).toImage().scaled(16, 16);
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);         // round: the corners are clear
    QCOMPARE(icon.pixelColor(7, 0), QColor(Qt::black)); // the rim
    QCOMPARE(icon.pixelColor(7, 2), QColor(Qt::white)); // the disc
    QCOMPARE(icon.pixelColor(7, 4), QColor(Qt::black)); // a stripe
    QCOMPARE(QApplication::windowIcon().cacheKey() != 0, true);
}

void TestWindow::frame()
{
    QCOMPARE(form().windowTitle(), QStringLiteral("Clipferry"));
    const Qt::WindowFlags flags = form().windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    // Centred when first shown.
    const QRect screen = form().screen()->availableGeometry();
    QVERIFY((form().frameGeometry().center() - screen.center()).manhattanLength() <= 2);
}

void TestWindow::keepsItsSize()
{
    QCOMPARE(form().frameGeometry().size(), expectedOuterSize());

    form().resize(form().size() + QSize(120, 80));
    QTRY_COMPARE(form().frameGeometry().size(), expectedOuterSize());
    form().resize(200, 150);
    QTRY_COMPARE(form().frameGeometry().size(), expectedOuterSize());

    form().showMinimized();
    QTRY_VERIFY(form().isMinimized());
    form().showNormal();
    QTRY_COMPARE(form().frameGeometry().size(), expectedOuterSize());
    QVERIFY(m_app->dialogs.boxes().isEmpty());
}

void TestWindow::menus_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("items"); // name=caption; separators name=-

    QTest::newRow("mnuProfile") << "Settings"
                                << QStringList{"mnuCurrentProfile=Current Profile",
                                               "mnuOpt1=-",
                                               "mnuProfileSetup=Check Profile Setup",
                                               "mnuOpt2=-",
                                               "mnuProfileEditor=Profile Editor",
                                               "mnuOpt3=-",
                                               "mnuCheckStorageCards=Check Storage Cards"};
    QTest::newRow("mnuHelp") << "Help"
                             << QStringList{"mnuInfo=Info",
                                            "mnuOpt4=-",
                                            "mnuDownload=Download Windows Media Encoder 9 Series",
                                            "mnuOpt5=-",
                                            "mnuAbout=About"};
}

void TestWindow::menus()
{
    QFETCH(QString, caption);
    QFETCH(QStringList, items);

    const QList<QAction *> bar = form().menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    const int place = QTest::currentDataTag() == QLatin1String("mnuProfile") ? 0 : 1;
    QMenu *menu = bar[place]->menu();
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QLatin1String(QTest::currentDataTag()));
    QCOMPARE(menu->title(), caption);

    QStringList shown;
    for (QAction *action : menu->actions()) {
        shown.append(action->objectName() + '='
                     + (action->isSeparator() ? QStringLiteral("-") : action->text()));
        QVERIFY(action->isEnabled() && action->isVisible() && !action->isChecked());
        QVERIFY(action->shortcut().isEmpty());
        QVERIFY(!action->text().contains('&'));
    }
    QCOMPARE(shown, items);
}

void TestWindow::tabOrderAndFocus()
{
    const QStringList expected{"cmdStart",
                               "File1",
                               "cmdReset",
                               "cmdStop",
                               "Combo1",
                               "Text3",
                               "Text4",
                               "cmdInput",
                               "cmdOutput",
                               "optOnePass",
                               "optTwoPass",
                               "chkCopytoStorage"};
    const QSet<QString> named(expected.begin(), expected.end());
    QStringList order;
    QWidget *widget = form().cmdStart;
    do {
        // A control's inner parts (the combo box's text field) count as the control.
        QWidget *control = widget;
        while (control && !named.contains(control->objectName()))
            control = control->parentWidget();
        if (control && (widget->focusPolicy() & Qt::TabFocus)
            && !order.contains(control->objectName()))
            order.append(control->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != form().cmdStart);
    QCOMPARE(order, expected);

    // Nothing else of the client area takes the focus by Tab.
    for (QWidget *child : form().centralWidget()->findChildren<QWidget *>()) {
        if (child->parentWidget() == form().centralWidget() && !named.contains(child->objectName()))
            QVERIFY2(!(child->focusPolicy() & Qt::TabFocus), qPrintable(child->objectName()));
    }

    form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    QCOMPARE(QApplication::focusWidget(), form().cmdStart);
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
