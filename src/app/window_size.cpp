#include "app/form1.h"

#include <QGuiApplication>

// The window keeps the size it was laid out with, whatever the user or the window manager
// does. On X it is a window of fixed size: window managers then offer no resize handles and
// no maximise command, and without a window manager nobody resizes it but other programs.
// A Wayland program draws its own frame, whose maximise button Qt offers even so, and a
// compositor ends a program whose window is not as large as it maximised it: there the
// window is only kept from getting smaller, and Form_Resize takes it back to its size.
void Form1::keepLaidOutSize()
{
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        setMinimumSize(m_laidOutSize);
        resize(m_laidOutSize);
    } else {
        setFixedSize(m_laidOutSize);
    }
}

// A size change springs back. A maximised window is first made normal again (its size
// belongs to the window manager until then); a minimised one has no size to set.
void Form1::Form_Resize()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowFullScreen))
        return;
    if (windowState() & Qt::WindowMaximized) {
        QMetaObject::invokeMethod(this, &QWidget::showNormal, Qt::QueuedConnection);
        return;
    }
    if (size() != m_laidOutSize)
        resize(m_laidOutSize);
}
