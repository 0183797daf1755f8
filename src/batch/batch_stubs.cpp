#include "app/form1.h"

void Form1::SetupJob() {}
void Form1::cmdStart_Click() {}
void Form1::Encoder_OnStateChange(qint32) {}
void Form1::Timer1_Timer() {}
void Form1::cmdStop_Click() {}
void Form1::cmdReset_Click() {}
void Form1::endBatchForClose() {}
