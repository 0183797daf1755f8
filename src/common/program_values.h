#pragma once

#include <QString>

// The program-wide values both windows share. One instance lives as long as the program;
// tests start from a clean one.
struct ProgramValues
{
    QString WinDrive;       // letter of the Windows folder's drive, "C" or "D"; empty if unknown
    QString InputFile;      // name of the file being encoded, without folder
    QString OutputFile;     // name of its output, without folder
    QString SelectedFolder; // the folder the folder browser hands back
};
