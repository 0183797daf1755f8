#include "app/form1.h"

void Form1::cmdInput_Click() {}
void Form1::cmdOutput_Click() {}
void Form1::File1_Click() {}
void Form1::Combo1_Click() {}
void Form1::mnuCurrentProfile_Click() {}
void Form1::mnuProfileSetup_Click() {}
void Form1::mnuProfileEditor_Click() {}
void Form1::mnuCheckStorageCards_Click() {}
void Form1::chkCopytoStorage_Click() {}
void Form1::optOnePass_Click() {}
void Form1::optTwoPass_Click() {}
void Form1::lblPassInfo_Click() {}
void Form1::mnuInfo_Click() {}
void Form1::mnuAbout_Click() {}
