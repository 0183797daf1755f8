#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// The desktop a test runs on (on_desktop.sh names it in CLIPFERRY_DESKTOP), its window
// manager's frames, its keyboard and its screenshots.

bool onX11();
// "bare", "xfwm4", "metacity" or "weston"; "bare" has no window manager to frame the windows.
QString desktopName();
// Whether a window manager frames the windows (on X, under one).
bool managed();

// Runs a tool to its end while the program keeps handling its events (a window manager may
// wait for the program while the user drags a border); -1 when it did not end in a minute.
int runTool(const QString &program, const QStringList &arguments, QString *output = nullptr);

// The frame the window manager announced in _NET_FRAME_EXTENTS, in the screen's pixels (the
// toolkit learns of it late under some window managers); null while there is none.
std::optional<QMargins> frameExtents(QWidget &window);
// The window and its frame as the X server has them, in the screen's pixels (the toolkit's
// positions are rounded to its scaled pixels).
QRect frameOnScreen(QWidget &window);
// Waits until the window manager has framed the window (at once without one).
bool waitForFrame(QWidget &window);
// Resizes a window by an offset of Qt's pixels as its user does: by dragging the lower right
// corner of the window manager's frame, or through the toolkit where there is none to drag.
void resizeByCorner(QWidget &window, QPoint by);
// Presses keys through the X server as the keyboard does ("Tab", "shift+Tab", "Escape").
void pressKeys(const QString &keys);

// Where a screenshot or listing goes (CLIPFERRY_SCREENSHOTS), empty when nothing is saved.
QString savedAs(const QString &fileName);
// A picture of the window as the screen shows it, with the window manager's frame on X. A
// compositor shows no program another's windows: there, the window's own picture and the
// screen as weston shows it.
void saveScreenshot(QWidget &window, const QString &fileName);
