#include "window_fixture.h"

#include "built_engine.h"
#include "checks.h"
#include "encoder/encoder_host.h"
#include "platform/machine.h"
#include "platform/user_drive.h"
#include "widgets/file_list_box.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtTest>

bool waitUntilShown(QWidget &window)
{
    if (QTest::qWaitForWindowExposed(&window))
        return true;
    qWarning("the window %s was not shown", qPrintable(window.objectName()));
    return false;
}

WindowFixture::WindowFixture() = default;

WindowFixture::~WindowFixture()
{
    form.reset(); // before the machine and the dialogs it uses
}

void WindowFixture::install(bool engine, bool browser)
{
    if (engine)
        machine.writeFile(enginePath);
    if (browser)
        QFile::setPermissions(machine.writeFile(browserPath, "#!/bin/sh\n"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void WindowFixture::answer(const QList<bool> &answers)
{
    for (bool yes : answers)
        yes ? dialogs.answerYes() : dialogs.answerNo();
}

Form1 &WindowFixture::open(const QStringList &profiles)
{
    form = std::make_unique<Form1>(values, [this, profiles] {
        auto owned = std::make_unique<ScriptedBackend>(profiles);
        backend = owned.get();
        return std::make_unique<MediaEncoder>(std::move(owned));
    });
    return *form;
}

Form1 &WindowFixture::openFailing(const QString &description)
{
    form = std::make_unique<Form1>(
            values, [description]() -> std::unique_ptr<MediaEncoder> { throw Error(description); });
    return *form;
}

Form1 &WindowFixture::openReal()
{
    form = std::make_unique<Form1>(values, [] { return createEncoder(Machine::current()); });
    return *form;
}

Form1 &WindowFixture::openInstalled(const QStringList &profiles)
{
    install(true, false);
    open(profiles);
    dialogs.clear();
    return *form;
}

Form1 &WindowFixture::openOnBuiltEngine(Ticks ticks)
{
    if (!installBuiltEngine(machine.nativeC()))
        qFatal("cannot install the built engine and profiles");
    openReal();
    if (ticks == Ticks::Quick)
        form->Timer1->setInterval(40);
    return show();
}

Form1 &WindowFixture::show()
{
    form->show();
    waitUntilShown(*form);
    return *form;
}

QStringList WindowFixture::boxes() const
{
    QStringList result;
    for (const ScriptedDialogs::Box &box : dialogs.boxes())
        result.append((box.buttons == MsgButtons::Ok ? "ok: " : "yn: ") + box.text);
    return result;
}

void WindowFixture::putFiles(const QString &folder, const QStringList &nativeFiles)
{
    const QString target = machine.makeFolder(folder);
    for (const QString &file : nativeFiles) {
        if (!QFile::copy(file, target + '/' + QFileInfo(file).fileName()))
            qFatal("cannot copy %s", qPrintable(file));
    }
}

void WindowFixture::writeInputs(const QString &folder, const QStringList &names)
{
    const QString target = machine.makeFolder(folder);
    for (const QString &name : names)
        writeFile(target + '/' + name, name.toUtf8());
}

void WindowFixture::chooseFolders(const QString &input, const QString &output)
{
    form->File1->setPath(input);
    form->File2->setPath(output);
}

void WindowFixture::select(const QStringList &names)
{
    for (int i = 0; i < form->File1->ListCount(); ++i)
        form->File1->setSelected(i, names.contains(form->File1->List(i)));
}

void clickEntries(FileListBox &list, const QStringList &steps)
{
    for (const QString &step : steps) {
        if (step == QLatin1String("v")) {
            QTest::keyClick(&list, Qt::Key_Down);
            continue;
        }
        const auto modifiers = step.startsWith('^')   ? Qt::ControlModifier
                               : step.startsWith('+') ? Qt::ShiftModifier
                                                      : Qt::NoModifier;
        const QString name = modifiers == Qt::NoModifier ? step : step.mid(1);
        const QList<QListWidgetItem *> found = list.findItems(name, Qt::MatchExactly);
        if (found.size() != 1)
            qFatal("File1 does not list %s", qPrintable(name));
        list.scrollToItem(found.first());
        const QPoint at = list.visualItemRect(found.first()).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, at);
    }
}

QStringList listed(const FileListBox &list, bool selectedOnly)
{
    QStringList names;
    for (int index = 0; index < list.ListCount(); ++index) {
        if (!selectedOnly || list.Selected(index))
            names.append(list.List(index));
    }
    return names;
}

QString WindowFixture::insertCard(const QString &storageDrive)
{
    const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "CARD");
    form->storageCards().StorageDrive = storageDrive;
    const QSignalBlocker quiet(form->chkCopytoStorage);
    form->chkCopytoStorage->setChecked(true);
    return card;
}

QString WindowFixture::chooseCard()
{
    const QString root = machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "CARD");
    dialogs.answerYes();
    click(form->chkCopytoStorage);
    dialogs.clear();
    return root;
}

void WindowFixture::click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

bool installUserDrive(const QString &folder, bool profilesSetUp)
{
    const QString driveC = folder + QStringLiteral("/drive_c");
    try {
        prepareUserDriveC(qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C"), driveC);
    } catch (const Error &e) {
        qWarning("%s", qPrintable(e.description()));
        return false;
    }
    const QString program = driveC + QStringLiteral("/Program Files/Clipferry/");
    QDir profiles(driveC + QLatin1Char('/') + userdrive::profileFolder);
    if (profilesSetUp) {
        for (const QString &name : QDir(program).entryList({QStringLiteral("*.prx")})) {
            if (!profiles.exists(name) && !QFile::copy(program + name, profiles.filePath(name)))
                return false;
        }
    } else {
        for (const QString &name : profiles.entryList(QDir::Files)) {
            if (!profiles.remove(name))
                return false;
        }
    }
    return installMachineFor(program + QStringLiteral("clipferry"));
}

ProgramFixture::ProgramFixture()
{
    if (!installUserDrive(m_drive.path()))
        qFatal("cannot start the program on %s", qPrintable(m_drive.path()));
}

ProgramFixture::~ProgramFixture()
{
    if (m_program)
        m_program->window().close();
    m_program.reset();
    Machine::setCurrent(nullptr);
}

Form1 &ProgramFixture::start(const QStringList &paths)
{
    m_program = std::make_unique<Program>();
    m_program->show(paths);
    waitUntilShown(window());
    // The paths are opened by an event posted when the window was shown.
    QCoreApplication::sendPostedEvents();
    return window();
}
