#include "app/form1.h"

void Form1::Form_Load() {}
void Form1::Form_Unload() {}
void Form1::Form_Resize() {}
void Form1::mnuDownload_Click() {}

QString GetWinDir()
{
    return {};
}
