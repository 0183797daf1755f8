#pragma once

#include <QString>

// One encoder profile: the output settings a file is encoded with.
struct ProfileSettings
{
    QString name;
    QString description;
    int width = 320;
    int height = 240;
    double maxFrameRate = 30.0;   // the source's rate, capped at this
    int videoBitRate = 300000;    // bits per second
    double keyFrameSeconds = 5.0; // distance between key frames
    int audioBitRate = 48000;     // bits per second
    int sampleRate = 44100;
    int channels = 2;

    bool operator==(const ProfileSettings &) const = default;
};
