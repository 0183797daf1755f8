#pragma once

#include "checks.h"
#include "widgets/file_list_box.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <functional>

// The main window over a scripted encoder; inputs live in C:\Videos, outputs go to C:\Out.
class BatchWindow : public WindowFixture
{
public:
    BatchWindow()
    {
        machine.makeFolder("C:\\Videos");
        machine.makeFolder("C:\\Out");
        openInstalled();
    }

    // Files holding their names in C:\Videos, listed; selects some of them.
    void listInput(const QStringList &files, const QStringList &selected)
    {
        writeInputs("C:\\Videos", files);
        chooseFolders("C:\\Videos", "C:\\Out");
        select(selected);
    }
    void listAndSelect(const QStringList &files) { listInput(files, files); }

    // Runs after the window's handler of every state; job counts the jobs started so far.
    void onState(std::function<void(qint32 state, int job)> step)
    {
        QObject::connect(
                form->jobSetup().Encoder.get(),
                &MediaEncoder::stateChanged,
                form.get(),
                [=, this](qint32 s) { step(s, static_cast<int>(backend->started().size())); });
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
