#include "batch/batch_notification.h"

#include "batch/batch_run.h"
#include "desktop/desktop_notification.h"

#include <QWidget>

QString batchEndText(int converted, int notConverted)
{
    QString text = QStringLiteral("%1 %2 converted")
                           .arg(converted)
                           .arg(converted == 1 ? QStringLiteral("file") : QStringLiteral("files"));
    if (notConverted > 0)
        text += QStringLiteral(", %1 not converted").arg(notConverted);
    return text + QLatin1Char('.');
}

// A batch of several files takes a while, and the user may have turned to something else;
// the desktop then says how it went. A user who watches the window sees it there. The
// batch's files are the entries selected when it started: those not converted include the
// ones an error ending the batch left untried.
void notifyBatchEnded(QWidget &window, const BatchRun &batch)
{
    if (batch.closing() || window.isActiveWindow() || batch.filesOfBatch() < 2)
        return;
    const int converted = batch.filesConverted();
    DesktopNotification::send(&window,
                              QStringLiteral("Encoding finished"),
                              batchEndText(converted, batch.filesOfBatch() - converted));
}
