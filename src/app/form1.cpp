#include "app/form1.h"

#include "app/form1_layout.h"
#include "batch/batch_commands.h"
#include "batch/job_setup.h"
#include "batch/progress_view.h"
#include "sources/file_selection.h"
#include "sources/folders.h"
#include "sources/open_files.h"
#include "sources/passes_and_help.h"
#include "sources/profiles_menu.h"
#include "sources/storage_cards.h"
#include "widgets/clickable_label.h"
#include "widgets/file_list_box.h"
#include "widgets/option_button.h"
#include "widgets/picture_button.h"
#include "widgets/text_box.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {

template<typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

#define CF_MAKE(member, Type) member = named(new Type(central), #member)

Form1::Form1(ProgramValues &values, EncoderFactory createEncoder, QWidget *parent)
    : QMainWindow(parent)
    , m_values(values)
    , m_createEncoder(std::move(createEncoder))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Clipferry"));
    // A window of fixed size offers no maximise command.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    const QIcon icon(QStringLiteral(":/icons/clipferry.svg"));
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
    buildControls();
    buildAreas();
    buildMenus();
    connectHandlers();
    const qreal dpiX = screen()->logicalDotsPerInchX();
    const qreal dpiY = screen()->logicalDotsPerInchY();
    layOutForm1(centralWidget(), dpiX, dpiY);
    applyTabOrder();
    addKeys();
    m_opening->acceptFileDrops();
    m_laidOutSize = form1ClientSize(dpiX, dpiY) + QSize(0, menuBar()->sizeHint().height());
    keepLaidOutSize();
    Form_Load();
}

// Closing the window on its way out moves the focus away from the profile box, which must
// then no longer reach this window's handlers: the encoder is already gone. Nor does the
// encoder, going with the areas, reach the batch's commands, which go before it.
Form1::~Form1()
{
    Combo1->lineEdit()->disconnect(this);
    if (m_job->Encoder)
        m_job->Encoder->disconnect(this);
}

void Form1::buildControls()
{
    auto *central = new QWidget(this);
    setCentralWidget(central);
    CF_MAKE(Label10, QLabel);
    CF_MAKE(cmdInput, PictureButton);
    CF_MAKE(cmdOutput, PictureButton);
    CF_MAKE(Text4, TextBox);
    CF_MAKE(Label9, QLabel);
    CF_MAKE(Text3, TextBox);
    CF_MAKE(Label8, QLabel);
    CF_MAKE(File1, FileListBox);
    CF_MAKE(Label4, QLabel);
    CF_MAKE(Combo1, QComboBox);
    // Its text field must follow it in the focus chain before the tab order is set.
    Combo1->setEditable(true);
    // Typing chooses among the profiles, exactly by name, and never adds one.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->completer()->setCaseSensitivity(Qt::CaseSensitive);
    // A screen reader meets its parts on their own too.
    Combo1->lineEdit()->setAccessibleName(QStringLiteral("Profile"));
    Combo1->view()->setAccessibleName(QStringLiteral("Profiles"));
    CF_MAKE(Label7, QLabel);
    CF_MAKE(optOnePass, OptionButton);
    CF_MAKE(Label1, QLabel);
    CF_MAKE(lblPassInfo, ClickableLabel);
    CF_MAKE(Label2, QLabel);
    CF_MAKE(chkCopytoStorage, QCheckBox);
    CF_MAKE(optTwoPass, OptionButton);
    CF_MAKE(Label3, QLabel);
    CF_MAKE(File2, FileListBox);
    CF_MAKE(Label5, QLabel);
    CF_MAKE(Label6, QLabel);
    CF_MAKE(ProgressBar1, QProgressBar);
    CF_MAKE(Line1, QFrame);
    CF_MAKE(Line2, QFrame);
    CF_MAKE(cmdReset, PictureButton);
    CF_MAKE(cmdStart, PictureButton);
    CF_MAKE(cmdStop, PictureButton);
    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);

    optTwoPass->setChecked(true);
    // Only File2's folder is used; the list itself is never seen nor focused.
    File2->setFocusPolicy(Qt::NoFocus);
    File2->hide();
    Label6->hide();
    for (QFrame *line : {Line1, Line2}) {
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Plain);
        line->setLineWidth(1);
        line->hide();
    }
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
}

void Form1::applyTabOrder()
{
    QWidget *const order[] = {cmdStart,
                              File1,
                              cmdReset,
                              cmdStop,
                              Combo1,
                              Text3,
                              Text4,
                              cmdInput,
                              cmdOutput,
                              optOnePass,
                              optTwoPass,
                              chkCopytoStorage};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    cmdStart->setFocus();
}

// What the mouse does, the keyboard does too: F10 opens the menus (which have no access
// keys), F1 on a pass option explains the passes as the "?" beside them does.
void Form1::addKeys()
{
    auto *menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menus, &QShortcut::activated, this, [this] {
        menuBar()->setActiveAction(mnuProfile->menuAction());
    });
    for (QRadioButton *option : {optOnePass, optTwoPass}) {
        auto *info = new QShortcut(QKeySequence(Qt::Key_F1), option);
        info->setContext(Qt::WidgetShortcut);
        connect(info, &QShortcut::activated, this, &Form1::lblPassInfo_Click);
    }
}

void Form1::buildMenus()
{
    const auto item = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action
                = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    // The menus stay in the window on every desktop, so the controls keep their places.
    menuBar()->setNativeMenuBar(false);
    mnuProfile = named(menuBar()->addMenu(QStringLiteral("Settings")), "mnuProfile");
    mnuCurrentProfile = item(mnuProfile, "mnuCurrentProfile", QStringLiteral("Current Profile"));
    mnuOpt1 = item(mnuProfile, "mnuOpt1", QStringLiteral("-"));
    mnuProfileSetup = item(mnuProfile, "mnuProfileSetup", QStringLiteral("Check Profile Setup"));
    mnuOpt2 = item(mnuProfile, "mnuOpt2", QStringLiteral("-"));
    mnuProfileEditor = item(mnuProfile, "mnuProfileEditor", QStringLiteral("Profile Editor"));
    mnuOpt3 = item(mnuProfile, "mnuOpt3", QStringLiteral("-"));
    mnuCheckStorageCards
            = item(mnuProfile, "mnuCheckStorageCards", QStringLiteral("Check Storage Cards"));
    mnuHelp = named(menuBar()->addMenu(QStringLiteral("Help")), "mnuHelp");
    mnuInfo = item(mnuHelp, "mnuInfo", QStringLiteral("Info"));
    mnuOpt4 = item(mnuHelp, "mnuOpt4", QStringLiteral("-"));
    mnuDownload = item(
            mnuHelp, "mnuDownload", QStringLiteral("Download Windows Media Encoder 9 Series"));
    mnuOpt5 = item(mnuHelp, "mnuOpt5", QStringLiteral("-"));
    mnuAbout = item(mnuHelp, "mnuAbout", QStringLiteral("About"));
}

void Form1::connectHandlers()
{
    connect(cmdStart, &QPushButton::clicked, this, &Form1::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &Form1::cmdStop_Click);
    connect(cmdReset, &QPushButton::clicked, this, &Form1::cmdReset_Click);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(cmdInput, &QPushButton::clicked, this, &Form1::cmdInput_Click);
    connect(cmdOutput, &QPushButton::clicked, this, &Form1::cmdOutput_Click);
    connect(File1, &FileListBox::Click, this, &Form1::File1_Click);
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(Combo1->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        m_profiles->showProfileInUse();
    });
    connect(chkCopytoStorage, &QCheckBox::toggled, this, &Form1::chkCopytoStorage_Click);
    // Whatever selects an option sets the passes: a click, the keyboard, or a screen reader's
    // action (which selects it without a click); a click on the selected one sets them again.
    for (const auto &optionAndHandler : {std::pair(optOnePass, &Form1::optOnePass_Click),
                                         std::pair(optTwoPass, &Form1::optTwoPass_Click)}) {
        const auto handler = optionAndHandler.second;
        connect(optionAndHandler.first, &QRadioButton::clicked, this, handler);
        connect(optionAndHandler.first,
                &QRadioButton::toggled,
                this,
                [this, handler](bool selected) {
                    if (selected)
                        (this->*handler)();
                });
    }
    connect(lblPassInfo, &ClickableLabel::clicked, this, &Form1::lblPassInfo_Click);
    connect(mnuCurrentProfile, &QAction::triggered, this, &Form1::mnuCurrentProfile_Click);
    connect(mnuProfileSetup, &QAction::triggered, this, &Form1::mnuProfileSetup_Click);
    connect(mnuProfileEditor, &QAction::triggered, this, &Form1::mnuProfileEditor_Click);
    connect(mnuCheckStorageCards, &QAction::triggered, this, &Form1::mnuCheckStorageCards_Click);
    connect(mnuInfo, &QAction::triggered, this, &Form1::mnuInfo_Click);
    connect(mnuDownload, &QAction::triggered, this, &Form1::mnuDownload_Click);
    connect(mnuAbout, &QAction::triggered, this, &Form1::mnuAbout_Click);
}

void Form1::closeEvent(QCloseEvent *event)
{
    m_batch->endBatchForClose();
    Form_Unload();
    event->accept();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The frame may not be known yet (a window manager tells it late or never).
    QRect outer(QPoint(), frameGeometry().size().expandedTo(size()));
    outer.moveCenter(screen()->availableGeometry().center());
    move(outer.topLeft());
}
