#include "platform/drive_table.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>

DriveTable::DriveTable(std::unique_ptr<VolumeSource> source)
    : m_source(std::move(source))
    , m_turnEnd(std::make_unique<QObject>())
{}

DriveTable::~DriveTable() = default;

QList<Drive> DriveTable::drives()
{
    refresh();
    return m_drives;
}

std::optional<Drive> DriveTable::find(QChar letter)
{
    refresh();
    return cachedFind(letter);
}

std::optional<Drive> DriveTable::cachedFind(QChar letter)
{
    if (!m_read)
        refresh();
    const QChar upper = letter.toUpper();
    for (const Drive &drive : std::as_const(m_drives)) {
        if (drive.letter == upper)
            return drive;
    }
    return std::nullopt;
}

std::optional<Drive> DriveTable::cachedDriveOfNative(const QString &nativePath)
{
    if (!m_read)
        refresh();
    std::optional<Drive> best;
    qsizetype bestLength = -1;
    for (const Drive &drive : std::as_const(m_drives)) {
        QString root = drive.volume.nativeRoot;
        if (root.isEmpty())
            continue;
        if (!root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        const bool inside = nativePath.startsWith(root) || nativePath + QLatin1Char('/') == root;
        if (inside && root.size() > bestLength) {
            best = drive;
            bestLength = root.size();
        }
    }
    return best;
}

QChar DriveTable::freeLetter() const
{
    for (char c = 'D'; c <= 'Y'; ++c) {
        const QChar letter = QLatin1Char(c);
        const bool used = std::any_of(m_drives.begin(), m_drives.end(), [&](const Drive &d) {
            return d.letter == letter;
        });
        if (!used)
            return letter;
    }
    return {};
}

void DriveTable::refresh()
{
    if (m_current && m_source->changes() == m_readChanges)
        return;
    read();
    holdUntilEventLoop();
}

// A zero-time timer fires once control is back in an event loop: the action that read the
// table has ended.
void DriveTable::holdUntilEventLoop()
{
    const QCoreApplication *application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()
        || m_turnEnd->thread() != application->thread())
        return;
    if (!m_current)
        QTimer::singleShot(0, m_turnEnd.get(), [this] { m_current = false; });
    m_current = true;
}

void DriveTable::read()
{
    m_readChanges = m_source->changes();
    const QList<VolumeDescription> volumes = m_source->volumes();
    m_read = true;
    m_drives.clear();
    QHash<QString, QChar> kept;

    // Fixed letters and letters of volumes still mounted first, so new volumes only take
    // letters nobody holds.
    QList<VolumeDescription> newcomers;
    for (const VolumeDescription &volume : volumes) {
        QChar letter = volume.letter.toUpper();
        if (letter.isNull())
            letter = m_letterOfId.value(volume.id);
        if (letter.isNull()) {
            newcomers.append(volume);
            continue;
        }
        m_drives.append({letter, volume});
        kept.insert(volume.id, letter);
    }
    for (const VolumeDescription &volume : std::as_const(newcomers)) {
        const QChar letter = freeLetter();
        if (letter.isNull())
            break; // more volumes than letters: the rest are not shown
        m_drives.append({letter, volume});
        kept.insert(volume.id, letter);
    }
    m_letterOfId = kept;
    std::sort(m_drives.begin(), m_drives.end(), [](const Drive &a, const Drive &b) {
        return a.letter < b.letter;
    });
}
