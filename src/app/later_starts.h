#pragma once

class Form1;
class WindowHandover;

// Later starts of the program on this C: drive hand their files to this window: it comes to
// the front and opens them as files given at start are opened. Once the window is asked to
// close, a later start opens a window of its own.
void serveLaterStarts(Form1 &window, WindowHandover &handover);
