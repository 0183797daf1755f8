#include "batch/batch_on_desktop.h"

#include "batch/batch_run.h"
#include "common/program_values.h"
#include "widgets/file_list_box.h"

#include <QProgressBar>

#include <algorithm>

BatchOnDesktop::BatchOnDesktop(const FileListBox &inputs,
                               const QProgressBar &bar,
                               const ProgramValues &values,
                               const BatchRun &batch)
    : m_bar(bar)
    , m_values(values)
    , m_awake(QStringLiteral("Converting videos"))
{
    for (int index = 0; index < inputs.ListCount(); ++index) {
        if (inputs.Selected(index))
            m_files.append(inputs.List(index));
    }
    connect(&batch, &BatchRun::encodeStarted, this, &BatchOnDesktop::fileStarted);
    connect(&batch, &BatchRun::readyForNextFile, this, &BatchOnDesktop::fileEnded);
    connect(&bar, &QProgressBar::valueChanged, this, &BatchOnDesktop::showProgress);
    show(0, 0);
}

// The file being encoded is the one set up last. Files passed by without an encode (not an
// MPEG file, one the batch cannot read) count as done once a later file starts.
void BatchOnDesktop::fileStarted()
{
    const int index = int(m_files.indexOf(m_values.InputFile, m_current));
    if (index >= 0)
        m_current = index;
    m_betweenFiles = false;
    m_fileShare = 0;
    show(m_current, 0);
}

void BatchOnDesktop::fileEnded()
{
    m_betweenFiles = true; // the bar goes back to 0 until the next file starts
    show(m_current + 1, 0);
}

// The window empties the bar when a file ends, and may do so before this hears of the end:
// the entry never goes back, so a lower value before the next file starts is passed by.
void BatchOnDesktop::showProgress(int value)
{
    if (m_betweenFiles || value < m_fileShare)
        return;
    m_fileShare = value;
    show(m_current, double(value) / std::max(m_bar.maximum(), 1));
}

void BatchOnDesktop::show(int filesDone, double ofNextFile)
{
    const int files = int(m_files.size());
    if (filesDone < files)
        m_entry.show((filesDone + ofNextFile) / files, files - filesDone);
}
