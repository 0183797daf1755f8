#include "profiles/prx_format.h"

QList<ProfileSettings> builtInProfiles()
{
    const auto make = [](const char *name,
                         const char *description,
                         int width,
                         int height,
                         double rate,
                         int video,
                         int audio,
                         int sampleRate,
                         int channels) {
        ProfileSettings p;
        p.name = QLatin1String(name);
        p.description = QLatin1String(description);
        p.width = width;
        p.height = height;
        p.maxFrameRate = rate;
        p.videoBitRate = video;
        p.keyFrameSeconds = 5.0;
        p.audioBitRate = audio;
        p.sampleRate = sampleRate;
        p.channels = channels;
        return p;
    };
    // clang-format off
    return {
        //   name, description
        //   width height rate video   audio   sample rate channels
        make("Low bandwidth video (100 Kbps)", "176 x 132, 15 frames/s, mono sound",
             176,  132,   15,  100000,  24000, 22050,      1),
        make("Standard video (300 Kbps)", "320 x 240, up to 30 frames/s, stereo sound",
             320,  240,   30,  300000,  48000, 44100,      2),
        make("High quality video (800 Kbps)", "640 x 480, up to 30 frames/s, stereo sound",
             640,  480,   30,  800000, 128000, 44100,      2),
    };
    // clang-format on
}
