#pragma once

#include "profiles/profile.h"

#include <QList>
#include <QString>

// The settings a rule can object to, in the order a profile's fields are shown.
enum class ProfileField {
    Name,
    Width,
    Height,
    FrameRate,
    VideoBitRate,
    KeyFrameSeconds,
    AudioBitRate,
    SampleRate,
    Channels,
};

struct ProfileProblem
{
    ProfileField field;
    QString reason; // "the frame rate must be between 1 and 60"
};

// Every rule of the engine that the settings break, in field order; empty when the engine
// can encode with them.
QList<ProfileProblem> profileProblems(const ProfileSettings &profile);

// Fails with "<where>: <reason>" for the first problem of profileProblems().
void validateProfile(const ProfileSettings &profile, const QString &where);

// The sample rates the audio encoder is given, lowest first.
QList<int> supportedSampleRates();
