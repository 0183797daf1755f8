#include "app/later_starts.h"

#include "app/form1.h"
#include "app/raise_window.h"
#include "desktop/window_handover.h"

#include <QEvent>
#include <QPointer>

namespace {

// Gives the window's name up as soon as the window is asked to close: the close may still
// wait for the encoder to finish a partial file, and files handed over meanwhile would be lost.
class ReleaseOnClose : public QObject
{
public:
    ReleaseOnClose(Form1 &window, WindowHandover &handover)
        : QObject(&window)
        , m_handover(&handover)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close && m_handover)
            m_handover->release();
        return false;
    }

private:
    QPointer<WindowHandover> m_handover;
};

} // namespace

void serveLaterStarts(Form1 &window, WindowHandover &handover)
{
    new ReleaseOnClose(window, handover); // the window owns it
    handover.serve([&window](const QStringList &paths, const QVariantMap &activation) {
        raiseWindow(window, activation);
        if (!paths.isEmpty())
            window.openHandedFiles(paths);
    });
}
