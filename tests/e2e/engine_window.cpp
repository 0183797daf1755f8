#include "engine_window.h"

#include "../encoder/engine_machine.h"

#include "encoder/encoder_host.h"
#include "widgets/file_list_box.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtTest>

EngineWindow::EngineWindow(Ticks ticks)
{
    if (!installBuiltEngine(machine.nativeC()))
        qFatal("cannot install the built engine and profiles");
    form = std::make_unique<Form1>(values, [] { return createEncoder(Machine::current()); });
    if (ticks == Ticks::Quick)
        form->Timer1->setInterval(40);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("the main window was not shown");
}

EngineWindow::~EngineWindow() = default;

void EngineWindow::putFiles(const QString &folder, const QStringList &nativeFiles)
{
    const QString target = machine.makeFolder(folder);
    for (const QString &file : nativeFiles) {
        if (!QFile::copy(file, target + '/' + QFileInfo(file).fileName()))
            qFatal("cannot copy %s", qPrintable(file));
    }
}

void EngineWindow::chooseFolders(const QString &input, const QString &output)
{
    form->File1->setPath(input);
    form->File2->setPath(output);
}

void EngineWindow::ctrlClickEntries(const QStringList &names)
{
    FileListBox &list = *form->File1;
    for (const QString &name : names) {
        const QList<QListWidgetItem *> found = list.findItems(name, Qt::MatchExactly);
        if (found.size() != 1)
            qFatal("File1 does not list %s", qPrintable(name));
        list.scrollToItem(found.first());
        const QPoint at = list.visualItemRect(found.first()).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    }
}

QString EngineWindow::chooseCard()
{
    const QString root = machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "CARD");
    dialogs.answerYes();
    click(form->chkCopytoStorage);
    dialogs.clear();
    return root;
}

void EngineWindow::click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}
