#pragma once

#include <QVariantMap>

class QWidget;

// Brings the window to the front for a later start of the program, with what the desktop gave
// that start: on X11 its startup id, whose time stamp tells the window manager that the user
// asked just now (and whose end stops the start's busy pointer), on Wayland its activation
// token. While a message or the folder browser waits for an answer, that comes to the front.
void raiseWindow(QWidget &window, const QVariantMap &activation);
