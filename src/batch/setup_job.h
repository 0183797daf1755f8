#pragma once

#include <QString>

class Form1;
class MediaEncoder;

// The encoder start-up set up, with its two sources. Throws Error when there is none: without
// an engine at start-up every job must say so.
MediaEncoder &encoderInUse(const Form1 &window);

// Sets the encoder up for one file: the input and output are names in the folders of File1
// and File2. The window shows the output's name and keeps the input's duration for the
// progress monitor. Throws Error at the failing step; the steps before it took effect, and
// DurationSec keeps the last file's value.
void setUpJob(Form1 &window, const QString &input, const QString &output);
