#include "sources/handed_files.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

HandedFiles::HandedFiles(QObject *window, Open open)
    : QObject(window)
    , m_open(std::move(open))
{}

void HandedFiles::take(const QStringList &nativePaths)
{
    m_waiting.append(nativePaths);
    openSoon();
}

// Set by set, each once nothing waits for an answer; a set's own message is such a wait for
// the sets after it, which are opened when it returns.
void HandedFiles::openWaiting()
{
    if (m_opening)
        return;
    while (!m_waiting.isEmpty()) {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            waitFor(modal);
            return;
        }
        m_opening = true;
        m_open(m_waiting.takeFirst());
        m_opening = false;
    }
}

// Tried again once the message or the browser is hidden (or gone), after its handler went on.
void HandedFiles::waitFor(QWidget *modal)
{
    if (m_modal == modal)
        return;
    if (m_modal)
        m_modal->removeEventFilter(this);
    m_modal = modal;
    modal->installEventFilter(this);
    connect(modal, &QObject::destroyed, this, &HandedFiles::openSoon);
}

void HandedFiles::openSoon()
{
    QTimer::singleShot(0, this, &HandedFiles::openWaiting);
}

bool HandedFiles::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_modal && event->type() == QEvent::Hide) {
        m_modal->removeEventFilter(this);
        disconnect(m_modal, nullptr, this, nullptr);
        m_modal = nullptr;
        openSoon();
    }
    return false;
}
