#include "encoder/worker_protocol.h"

#include "platform/native_names.h"

namespace worker_protocol {

namespace {

namespace arg = encode_argument;

// A native path as the worker takes it, its bytes unchanged whatever they are.
QString pathArgument(const QString &nativePath)
{
    const QByteArray bytes = toNativeBytes(nativePath);
    return QString::fromStdString(
            encodePathArgument(std::string_view(bytes.constData(), size_t(bytes.size()))));
}

bool isWord(const QString &word, LineKind kind)
{
    return word == QLatin1String(lineWord(kind));
}

// The fields of a "stats" line, read as statsLine() writes them.
Line statistics(const QStringList &words)
{
    Line line;
    if (words.size() < 1 + stats_field::Count)
        return line;
    const auto field = [&](int position) {
        return words[1 + position];
    };
    line.kind = LineKind::Stats;
    line.statistics.pass = field(stats_field::Pass).toInt();
    line.statistics.archiveBytes = field(stats_field::ArchiveBytes).toLongLong();
    line.statistics.archiveMs = field(stats_field::ArchiveMs).toLongLong();
    line.statistics.bitRate = field(stats_field::BitRate).toInt();
    line.statistics.frames = field(stats_field::Frames).toLongLong();
    return line;
}

} // namespace

Line parse(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes).trimmed();
    const QStringList words = text.split(QLatin1Char(' '));
    Line line;
    if (isWord(words[0], LineKind::Stats))
        return statistics(words);
    if (isWord(words[0], LineKind::Done)) {
        line.kind = LineKind::Done;
    } else if (isWord(words[0], LineKind::Duration) && words.size() == 2) {
        line.kind = LineKind::Duration;
        line.durationMs = words[1].toLongLong();
    } else if (isWord(words[0], LineKind::Ready) && words.size() >= 2) {
        line.kind = LineKind::Ready;
        line.reason = text.section(QLatin1Char(' '), 1);
    } else if (isWord(words[0], LineKind::Notice) && words.size() >= 2) {
        line.kind = LineKind::Notice;
        line.reason = text.section(QLatin1Char(' '), 1);
    } else if (isWord(words[0], LineKind::Failed) && words.size() >= 3) {
        line.kind = LineKind::Failed;
        line.subject = FailureSubject(words[1].toInt());
        line.reason = text.section(QLatin1Char(' '), 2);
    }
    return line;
}

QStringList encodeArguments(const EncodeJob &job, const QString &temporary, int passes)
{
    const ProfileSettings &p = job.profile;
    QStringList arguments(arg::Count);
    arguments[arg::Input] = pathArgument(job.input);
    arguments[arg::Temporary] = pathArgument(temporary);
    arguments[arg::Output] = pathArgument(job.output);
    arguments[arg::Passes] = QString::number(passes);
    arguments[arg::Width] = QString::number(p.width);
    arguments[arg::Height] = QString::number(p.height);
    arguments[arg::MaxFrameRate] = QString::number(p.maxFrameRate, 'g', 10);
    arguments[arg::VideoBitRate] = QString::number(p.videoBitRate);
    arguments[arg::KeyFrameSeconds] = QString::number(p.keyFrameSeconds, 'g', 10);
    arguments[arg::AudioBitRate] = QString::number(p.audioBitRate);
    arguments[arg::SampleRate] = QString::number(p.sampleRate);
    arguments[arg::Channels] = QString::number(p.channels);
    arguments.prepend(QString::fromLatin1(EncodeCommand));
    return arguments;
}

QStringList probeArguments(const EncodeJob &job)
{
    return {QString::fromLatin1(ProbeCommand), pathArgument(job.input)};
}

QByteArray stopLine()
{
    return QByteArray(StopLine) + '\n';
}

QString describeFailure(FailureSubject subject,
                        const QString &reason,
                        const EncodeJob &job,
                        const QString &moduleShown)
{
    switch (subject) {
    case FailureSubject::OpenInput:
        return QStringLiteral("Cannot open the input %1: %2").arg(job.inputShown, reason);
    case FailureSubject::ReadInput:
        return QStringLiteral("Cannot read the input %1: %2").arg(job.inputShown, reason);
    case FailureSubject::WriteOutput:
        return QStringLiteral("Cannot write the output %1: %2").arg(job.outputShown, reason);
    case FailureSubject::Convert:
        return QStringLiteral("Cannot convert %1: %2").arg(job.inputShown, reason);
    case FailureSubject::TwoPassTarget:
        return QStringLiteral("Cannot convert %1 in two passes: %2").arg(job.inputShown, reason);
    case FailureSubject::StoppedBeforeOutput:
        return stoppedBeforeConverting(job.inputShown);
    case FailureSubject::ModuleUnusable:
        break;
    }
    // Also any subject this host does not know.
    return QStringLiteral("The encoder engine could not be loaded: %1: %2")
            .arg(moduleShown, reason);
}

} // namespace worker_protocol
