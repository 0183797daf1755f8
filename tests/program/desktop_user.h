#pragma once

// What a user does on a real desktop, for the tests that run the program on one
// (on_desktop.sh): drags window borders through the window manager, takes screenshots with
// the frame the window manager draws, and reads the program as a screen reader does.

#include <QString>
#include <QStringList>

class QPoint;
class QWidget;

namespace desktop {

// The desktop the test runs on, as on_desktop.sh names it ("bare", "xfwm4", "weston", ...).
QString name();
// True on an X display with a window manager, which frames the windows and lets the user
// resize them by their borders.
bool managed();

// Runs a tool to its end while the program keeps handling its events (a window manager
// may wait for the program while the user drags a border); its exit code, -1 when it did
// not end within a minute. Its output goes to `output` when given.
int runTool(const QString &program, const QStringList &arguments, QString *output = nullptr);

// Waits until the window manager has framed the window (at once without one).
bool waitForFrame(QWidget &window);

// Resizes a window by an offset of Qt's pixels as its user does: by dragging the lower right
// corner of its frame under a window manager; where there is none to drag (a bare display,
// a compositor that lets the program draw its own frame) through the toolkit.
void resizeByCorner(QWidget &window, QPoint by);

// Saves a picture of the window as the screen shows it, with the window manager's frame on
// an X display, into CLIPFERRY_SCREENSHOTS (nothing when it is not set).
void saveScreenshot(QWidget &window, const QString &fileName);
// Saves a text beside the screenshots.
void saveText(const QString &fileName, const QString &text);

} // namespace desktop
