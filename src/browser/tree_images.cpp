#include "browser/tree_images.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

QPixmap render(const QString &key, int size)
{
    QSvgRenderer renderer(QStringLiteral(":/tree/%1.svg").arg(key));
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

} // namespace

TreeImages::TreeImages()
{
    for (const QString &key : keys()) {
        m_small.insert(key, render(key, 16));
        m_large.insert(key, render(key, 32));
    }
}

const QStringList &TreeImages::keys()
{
    static const QStringList list = {
            QStringLiteral("unknown"),
            QStringLiteral("fixed"),
            QStringLiteral("ram"),
            QStringLiteral("remove"),
            QStringLiteral("cd"),
            QStringLiteral("folder"),
            QStringLiteral("open"),
            QStringLiteral("remote"),
    };
    return list;
}

QIcon TreeImages::image(const QString &key) const
{
    if (!m_small.contains(key))
        return {};
    QIcon icon;
    icon.addPixmap(m_small.value(key));
    icon.addPixmap(m_large.value(key));
    return icon;
}

QIcon TreeImages::nodeIcon(const QString &imageKey, const QString &selectedImageKey) const
{
    const QString cacheKey = imageKey + QLatin1Char('/') + selectedImageKey;
    auto found = m_nodeIcons.constFind(cacheKey);
    if (found != m_nodeIcons.constEnd())
        return *found;
    QIcon icon;
    for (const auto *sizes : {&m_small, &m_large}) {
        icon.addPixmap(sizes->value(imageKey), QIcon::Normal);
        icon.addPixmap(sizes->value(selectedImageKey), QIcon::Selected);
    }
    m_nodeIcons.insert(cacheKey, icon);
    return icon;
}
