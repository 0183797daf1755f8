#include "profiles/profile_rules.h"

#include "common/error.h"
#include "profiles/profile_limits.h"

#include <iterator>

namespace {

using namespace profile_limits;

void sideProblems(QList<ProfileProblem> &problems,
                  ProfileField field,
                  const QString &side,
                  int value,
                  int most)
{
    if (value < MinSide || value > most)
        problems.append({field,
                         QStringLiteral("the video %1 must be between %2 and %3")
                                 .arg(side)
                                 .arg(MinSide)
                                 .arg(most)});
    else if (value % 2 != 0)
        problems.append({field, QStringLiteral("the video %1 must be an even number").arg(side)});
}

void rateProblems(QList<ProfileProblem> &problems,
                  ProfileField field,
                  const QString &what,
                  int value,
                  int least,
                  int most)
{
    if (value < least)
        problems.append({field, QStringLiteral("the %1 must be at least %2").arg(what).arg(least)});
    else if (value > most)
        problems.append({field, QStringLiteral("the %1 must be at most %2").arg(what).arg(most)});
}

} // namespace

QList<int> supportedSampleRates()
{
    return QList<int>(std::begin(SampleRates), std::end(SampleRates));
}

QList<ProfileProblem> profileProblems(const ProfileSettings &p)
{
    QList<ProfileProblem> problems;
    if (p.name.trimmed().isEmpty())
        problems.append({ProfileField::Name, QStringLiteral("the profile has no name")});
    sideProblems(problems, ProfileField::Width, QStringLiteral("width"), p.width, MaxWidth);
    sideProblems(problems, ProfileField::Height, QStringLiteral("height"), p.height, MaxHeight);
    if (!(p.maxFrameRate >= MinFrameRate && p.maxFrameRate <= MaxFrameRate))
        problems.append({ProfileField::FrameRate,
                         QStringLiteral("the frame rate must be between %1 and %2")
                                 .arg(MinFrameRate)
                                 .arg(MaxFrameRate)});
    rateProblems(problems,
                 ProfileField::VideoBitRate,
                 QStringLiteral("video bit rate"),
                 p.videoBitRate,
                 MinVideoBitRate,
                 MaxVideoBitRate);
    if (!(p.keyFrameSeconds > 0 && p.keyFrameSeconds <= MaxKeyFrameSeconds))
        problems.append({ProfileField::KeyFrameSeconds,
                         QStringLiteral("the key frame distance must be more than 0 and at most "
                                        "%1 seconds")
                                 .arg(MaxKeyFrameSeconds)});
    rateProblems(problems,
                 ProfileField::AudioBitRate,
                 QStringLiteral("audio bit rate"),
                 p.audioBitRate,
                 MinAudioBitRate,
                 MaxAudioBitRate);
    if (!isSampleRate(p.sampleRate))
        problems.append({ProfileField::SampleRate,
                         QStringLiteral("the sample rate must be one of ")
                                 + QString::fromStdString(sampleRateList())});
    if (p.channels < MinChannels || p.channels > MaxChannels)
        problems.append({ProfileField::Channels,
                         QStringLiteral("there must be %1 or %2 audio channels")
                                 .arg(MinChannels)
                                 .arg(MaxChannels)});
    return problems;
}

void validateProfile(const ProfileSettings &profile, const QString &where)
{
    const QList<ProfileProblem> problems = profileProblems(profile);
    if (!problems.isEmpty())
        throw Error(QStringLiteral("%1: %2").arg(where, problems.first().reason));
}
