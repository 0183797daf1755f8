#pragma once

#include <QHash>
#include <QIcon>
#include <QStringList>

// The tree's image list (img): eight 16 x 16 images under their keys, drawn for this
// program and kept as SVG, so they stay sharp on screens that scale.
class TreeImages
{
public:
    TreeImages();

    // "unknown", "fixed", "ram", "remove", "cd", "folder", "open", "remote", in this order.
    static const QStringList &keys();

    // The image of a key; a null icon for a key the list does not hold.
    QIcon image(const QString &key) const;
    // A node's icon: the first image normally, the second while the node is selected (the
    // same image for both gives no change, rather than the view's tinted selection).
    QIcon nodeIcon(const QString &imageKey, const QString &selectedImageKey) const;

private:
    QHash<QString, QPixmap> m_small;
    QHash<QString, QPixmap> m_large;
    mutable QHash<QString, QIcon> m_nodeIcons;
};
