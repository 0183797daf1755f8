#include "app/form1.h"

// The window keeps its drawn size: dragging a border springs back at once. A minimised or
// maximised window cannot take a size; it is left alone and set right when restored.
void Form1::Form_Resize()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QSize frame = frameGeometry().size() - size();
    const QSize client = m_outerSize - frame;
    if (client.isValid() && size() != client)
        resize(client);
}
