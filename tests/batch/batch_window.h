#pragma once

#include "app/form1.h"
#include "checks.h"
#include "scripted_backend.h"
#include "scripted_dialogs.h"
#include "temp_machine.h"
#include "widgets/file_list_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

// A scripted encoder that runs the test's step at the start of each duration read.
class ProbingBackend : public ScriptedBackend
{
public:
    std::function<void(const EncodeJob &job)> duringProbe;

    qint64 readDurationMs(const EncodeJob &job) override
    {
        if (duringProbe)
            duringProbe(job);
        return ScriptedBackend::readDurationMs(job);
    }
};

// The main window over a scripted encoder; inputs live in C:\Videos, outputs go to C:\Out.
class BatchWindow
{
public:
    TempMachine machine;
    ScriptedDialogs dialogs;
    ProgramValues values;
    ProbingBackend *backend = nullptr;
    std::unique_ptr<Form1> form;

    BatchWindow()
    {
        machine.writeFile("C:\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll");
        machine.makeFolder("C:\\Videos");
        machine.makeFolder("C:\\Out");
        form = std::make_unique<Form1>(values, [this] {
            auto owned = std::make_unique<ProbingBackend>();
            backend = owned.get();
            return std::make_unique<MediaEncoder>(std::move(owned));
        });
        dialogs.clear();
    }
    ~BatchWindow() { form.reset(); }

    // Files holding their names in C:\Videos (case-distinct names apart), listed; selects some.
    void listInput(const QStringList &files, const QStringList &selected)
    {
        for (const QString &name : files)
            writeFile(machine.native("C:\\Videos") + '/' + name, name.toUtf8());
        form->File1->setPath("C:\\Videos");
        form->File2->setPath("C:\\Out");
        for (int i = 0; i < form->File1->ListCount(); ++i)
            form->File1->setSelected(i, selected.contains(form->File1->List(i)));
    }
    void listAndSelect(const QStringList &files) { listInput(files, files); }

    // A card in E: with the copy box ticked, as the box's own scan leaves it; its native root.
    QString insertCard(const QString &storageDrive = "E")
    {
        const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "CARD");
        form->StorageDrive = storageDrive;
        const QSignalBlocker quiet(form->chkCopytoStorage);
        form->chkCopytoStorage->setChecked(true);
        return card;
    }

    // Runs after the window's handler of every state; job counts the jobs started so far.
    void onState(std::function<void(qint32 state, int job)> step)
    {
        QObject::connect(
                form->Encoder.get(), &MediaEncoder::stateChanged, form.get(), [=, this](qint32 s) {
                    step(s, static_cast<int>(backend->started().size()));
                });
    }
    // Every started job writes "<input name> encoded" and ends well.
    void finishEachJob()
    {
        onState([this](qint32 state, int) {
            if (state == EncoderStarting) {
                writeOutputOfLastJob();
                backend->finish();
            }
        });
    }
    void writeOutputOfLastJob()
    {
        const EncodeJob &job = backend->started().last();
        writeFile(job.output, QFileInfo(job.input).fileName().toUtf8() + " encoded");
    }
    // The file names of the started jobs' inputs, as "a.mpg b.mpg".
    QString started() const
    {
        QStringList names;
        for (const EncodeJob &job : backend->started())
            names.append(QFileInfo(job.input).fileName());
        return names.join(' ');
    }
    QByteArray output(const QString &name) { return contentOf(machine.native("C:\\Out\\" + name)); }

    // Whether cmdStart, cmdReset, Combo1 and File1 are enabled, as "1101".
    QString lockedControls() const
    {
        QString flags;
        for (QWidget *control : std::initializer_list<QWidget *>{
                     form->cmdStart, form->cmdReset, form->Combo1, form->File1})
            flags += control->isEnabled() ? '1' : '0';
        return flags;
    }
};
