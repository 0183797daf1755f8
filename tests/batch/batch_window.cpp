#include "batch_window.h"

#include "sources/file_list_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

BatchWindow::BatchWindow()
{
    machine.writeFile(
            QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll"));
    machine.makeFolder(QStringLiteral("C:\\Videos"));
    machine.makeFolder(QStringLiteral("C:\\Out"));
    form = std::make_unique<Form1>(values, [this] { return scriptedEncoder(&backend); });
    dialogs.clear();
}

BatchWindow::~BatchWindow()
{
    form.reset();
}

void BatchWindow::listInput(const QStringList &files, const QStringList &selected)
{
    // Written natively: names that differ only in case are separate files here.
    const QDir videos(QDir(machine.nativeC()).filePath(QStringLiteral("Videos")));
    for (const QString &name : files) {
        QFile file(videos.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(name.toUtf8());
    }
    form->File1->setPath(QStringLiteral("C:\\Videos"));
    form->File2->setPath(QStringLiteral("C:\\Out"));
    for (int i = 0; i < form->File1->ListCount(); ++i)
        form->File1->setSelected(i, selected.contains(form->File1->List(i)));
}

QString BatchWindow::insertCard(const QString &storageDrive)
{
    const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "CARD");
    form->StorageDrive = storageDrive;
    // Ticked without the card scan the box runs when clicked: the card is chosen already.
    const QSignalBlocker quiet(form->chkCopytoStorage);
    form->chkCopytoStorage->setChecked(true);
    return card;
}

void BatchWindow::onState(std::function<void(qint32, int)> step)
{
    QObject::connect(form->Encoder.get(),
                     &MediaEncoder::stateChanged,
                     form.get(),
                     [this, step](qint32 state) {
                         step(state, static_cast<int>(backend->started().size()));
                     });
}

void BatchWindow::finishEachJob()
{
    onState([this](qint32 state, int) {
        if (state != EncoderStarting)
            return;
        writeOutputOfLastJob();
        backend->finish();
    });
}

void BatchWindow::writeOutputOfLastJob()
{
    const EncodeJob &job = backend->started().last();
    QFile file(job.output);
    if (file.open(QIODevice::WriteOnly))
        file.write(QFileInfo(job.input).fileName().toUtf8() + " encoded");
}

QString BatchWindow::outputFolder() const
{
    return QDir(machine.nativeC()).filePath(QStringLiteral("Out"));
}

QByteArray BatchWindow::readNative(const QString &nativePath) const
{
    QFile file(nativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString BatchWindow::lockedControls() const
{
    QString flags;
    for (const QWidget *control : {static_cast<const QWidget *>(form->cmdStart),
                                   static_cast<const QWidget *>(form->cmdReset),
                                   static_cast<const QWidget *>(form->Combo1),
                                   static_cast<const QWidget *>(form->File1)})
        flags += control->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return flags;
}
