#include "batch/batch_notification.h"
#include "app/form1.h"

#include "batch/desktop_notification.h"
#include "sources/file_list_box.h"

#include <algorithm>

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
// batch's files are the entries still selected in File1, which stays locked from the start
// of the batch until a reset.
void Form1::notifyBatchEnded()
{
    if (m_batchClosing || isActiveWindow())
        return;
    int selected = 0;
    for (int index = 0; index < File1->ListCount(); ++index)
        selected += File1->Selected(index) ? 1 : 0;
    if (selected < 2)
        return;
    const int notConverted = std::min<int>(m_notConverted.size(), selected);
    DesktopNotification::send(this,
                              QStringLiteral("Encoding finished"),
                              batchEndText(selected - notConverted, notConverted));
}
