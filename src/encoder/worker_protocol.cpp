#include "encoder/worker_protocol.h"

namespace worker_protocol {

namespace {

Line statsLine(const QStringList &words)
{
    Line line;
    if (words.size() < 6)
        return line;
    line.kind = Line::Stats;
    line.statistics.pass = words[1].toInt();
    line.statistics.archiveBytes = words[2].toLongLong();
    line.statistics.archiveMs = words[3].toLongLong();
    line.statistics.bitRate = words[4].toInt();
    line.statistics.frames = words[5].toLongLong();
    return line;
}

} // namespace

Line parse(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes).trimmed();
    const QStringList words = text.split(QLatin1Char(' '));
    Line line;
    if (words[0] == QLatin1String("stats"))
        return statsLine(words);
    if (words[0] == QLatin1String("done")) {
        line.kind = Line::Done;
    } else if (words[0] == QLatin1String("duration") && words.size() == 2) {
        line.kind = Line::Duration;
        line.durationMs = words[1].toLongLong();
    } else if (words[0] == QLatin1String("ready") && words.size() >= 2) {
        line.kind = Line::Ready;
        line.reason = text.section(QLatin1Char(' '), 1);
    } else if (words[0] == QLatin1String("failed") && words.size() >= 3) {
        line.kind = Line::Failed;
        line.subject = words[1].toInt();
        line.reason = text.section(QLatin1Char(' '), 2);
    }
    return line;
}

QStringList encodeArguments(const EncodeJob &job, const QString &temporary, int passes)
{
    const ProfileSettings &p = job.profile;
    return {QStringLiteral("encode"),
            job.input,
            temporary,
            job.output,
            QString::number(passes),
            QString::number(p.width),
            QString::number(p.height),
            QString::number(p.maxFrameRate, 'g', 10),
            QString::number(p.videoBitRate),
            QString::number(p.keyFrameSeconds, 'g', 10),
            QString::number(p.audioBitRate),
            QString::number(p.sampleRate),
            QString::number(p.channels)};
}

QString describeFailure(int subject,
                        const QString &reason,
                        const EncodeJob &job,
                        const QString &moduleShown)
{
    switch (subject) {
    case OpenInput:
        return QStringLiteral("Cannot open the input %1: %2").arg(job.inputShown, reason);
    case ReadInput:
        return QStringLiteral("Cannot read the input %1: %2").arg(job.inputShown, reason);
    case WriteOutput:
        return QStringLiteral("Cannot write the output %1: %2").arg(job.outputShown, reason);
    case Convert:
        return QStringLiteral("Cannot convert %1: %2").arg(job.inputShown, reason);
    case TwoPassTarget:
        return QStringLiteral("Cannot convert %1 in two passes: %2").arg(job.inputShown, reason);
    default:
        return QStringLiteral("The encoder engine could not be loaded: %1: %2")
                .arg(moduleShown, reason);
    }
}

} // namespace worker_protocol
