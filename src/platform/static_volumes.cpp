#include "platform/volumes.h"

StaticVolumes::StaticVolumes(QList<VolumeDescription> volumes)
    : m_volumes(std::move(volumes))
{}

QList<VolumeDescription> StaticVolumes::volumes()
{
    ++m_reads;
    return m_volumes;
}

void StaticVolumes::add(const VolumeDescription &volume)
{
    ++m_changes;
    m_volumes.append(volume);
}

void StaticVolumes::remove(const QString &id)
{
    ++m_changes;
    m_volumes.removeIf([&](const VolumeDescription &v) { return v.id == id; });
}

void StaticVolumes::replace(const VolumeDescription &volume)
{
    ++m_changes;
    for (VolumeDescription &v : m_volumes) {
        if (v.id == volume.id)
            v = volume;
    }
}
