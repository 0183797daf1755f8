#include "profiles/profile_rules.h"

#include "common/error.h"

#include <QStringList>

namespace {

constexpr int MinSide = 16;
constexpr int MaxWidth = 1920;
constexpr int MaxHeight = 1088;
constexpr int MinVideoBitRate = 10000;
// Far above anything a Pocket PC plays; a larger value is a slip of the keyboard.
constexpr int MaxVideoBitRate = 20000000;
// The WMA2 encoder refuses less; more than its highest standard rate buys nothing.
constexpr int MinAudioBitRate = 24000;
constexpr int MaxAudioBitRate = 320000;

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

QString sampleRateList()
{
    QStringList rates;
    for (const int rate : supportedSampleRates())
        rates.append(QString::number(rate));
    const QString last = rates.takeLast();
    return rates.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

QList<int> supportedSampleRates()
{
    return {8000, 11025, 16000, 22050, 32000, 44100, 48000};
}

QList<ProfileProblem> profileProblems(const ProfileSettings &p)
{
    QList<ProfileProblem> problems;
    if (p.name.trimmed().isEmpty())
        problems.append({ProfileField::Name, QStringLiteral("the profile has no name")});
    sideProblems(problems, ProfileField::Width, QStringLiteral("width"), p.width, MaxWidth);
    sideProblems(problems, ProfileField::Height, QStringLiteral("height"), p.height, MaxHeight);
    if (!(p.maxFrameRate >= 1 && p.maxFrameRate <= 60))
        problems.append({ProfileField::FrameRate,
                         QStringLiteral("the frame rate must be between 1 and 60")});
    rateProblems(problems,
                 ProfileField::VideoBitRate,
                 QStringLiteral("video bit rate"),
                 p.videoBitRate,
                 MinVideoBitRate,
                 MaxVideoBitRate);
    if (!(p.keyFrameSeconds > 0 && p.keyFrameSeconds <= 60))
        problems.append({ProfileField::KeyFrameSeconds,
                         QStringLiteral("the key frame distance must be more than 0 and at most "
                                        "60 seconds")});
    rateProblems(problems,
                 ProfileField::AudioBitRate,
                 QStringLiteral("audio bit rate"),
                 p.audioBitRate,
                 MinAudioBitRate,
                 MaxAudioBitRate);
    if (!supportedSampleRates().contains(p.sampleRate))
        problems.append({ProfileField::SampleRate,
                         QStringLiteral("the sample rate must be one of ") + sampleRateList()});
    if (p.channels != 1 && p.channels != 2)
        problems.append(
                {ProfileField::Channels, QStringLiteral("there must be 1 or 2 audio channels")});
    return problems;
}

void validateProfile(const ProfileSettings &profile, const QString &where)
{
    const QList<ProfileProblem> problems = profileProblems(profile);
    if (!problems.isEmpty())
        throw Error(QStringLiteral("%1: %2").arg(where, problems.first().reason));
}
