#include "app/form1.h"

// The window is made of fixed size when it is built (no resize handles, no maximise
// command), and window managers honour that; without one nothing resizes it at all. So a
// size change leaves nothing to do here: setting the size again would only fight a window
// manager over it, and a minimised window has no size to set.
void Form1::Form_Resize() {}
