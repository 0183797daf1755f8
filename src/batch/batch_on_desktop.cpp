#include "batch/batch_on_desktop.h"

#include "app/form1.h"
#include "batch/batch_run.h"
#include "widgets/file_list_box.h"

#include <QProgressBar>

#include <algorithm>

BatchOnDesktop::BatchOnDesktop(Form1 &window, const BatchRun &batch)
    : m_window(window)
    , m_awake(QStringLiteral("Converting videos"))
{
    for (int index = 0; index < window.File1->ListCount(); ++index) {
        if (window.File1->Selected(index))
            m_files.append(window.File1->List(index));
    }
    connect(&batch, &BatchRun::encodeStarted, this, &BatchOnDesktop::fileStarted);
    connect(&batch, &BatchRun::readyForNextFile, this, &BatchOnDesktop::fileEnded);
    connect(window.ProgressBar1, &QProgressBar::valueChanged, this, &BatchOnDesktop::showProgress);
    show(0, 0);
}

// The file being encoded is the one set up last. Files passed by without an encode (not an
// MPEG file, one the batch cannot read) count as done once a later file starts.
void BatchOnDesktop::fileStarted()
{
    const int index = int(m_files.indexOf(m_window.values().InputFile, m_current));
    if (index >= 0)
        m_current = index;
    m_betweenFiles = false;
    show(m_current, 0);
}

void BatchOnDesktop::fileEnded()
{
    m_betweenFiles = true; // the bar goes back to 0 until the next file starts
    show(m_current + 1, 0);
}

void BatchOnDesktop::showProgress(int value)
{
    if (!m_betweenFiles)
        show(m_current, double(value) / std::max(m_window.ProgressBar1->maximum(), 1));
}

void BatchOnDesktop::show(int filesDone, double ofNextFile)
{
    const int files = int(m_files.size());
    if (filesDone < files)
        m_entry.show((filesDone + ofNextFile) / files, files - filesDone);
}
