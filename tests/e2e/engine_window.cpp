#include "engine_window.h"

#include "platform/encoder_host.h"
#include "sources/file_list_box.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtTest>

EngineWindow::EngineWindow(Ticks ticks)
{
    // Installed as the program is: the build's engine module and worker linked into the
    // encoder folder, the three profiles beside the program and in the encoder's folder.
    const QString built = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", CF_BUILD_DRIVE_C);
    const QString encoder = "/Program Files/Windows Media Components/Encoder/";
    const QString program = "/Program Files/Clipferry/";
    const QString c = machine.nativeC();
    bool done = true;
    for (const char *file : {"WMEncEng.dll", "WMEncWorker"})
        done &= QFile::link(built + encoder + file, c + encoder + file);
    for (const char *level : {"High", "Low", "Medium"}) {
        const QString name = QStringLiteral("Kestrel %1.prx").arg(QLatin1String(level));
        done &= QFile::copy(built + program + name, c + program + name)
                && QFile::copy(built + program + name, c + encoder + "Profiles/" + name);
    }
    if (!done)
        qFatal("cannot install the built engine and profiles from %s", qPrintable(built));
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

void EngineWindow::click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}
