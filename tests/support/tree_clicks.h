#pragma once

#include "browser/dir_tree.h"
#include "browser/form9.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

// Clicks a node of the tree with the mouse, as a user does (its parents are expanded first
// when they are not, which the tree handles as expansions).
inline void clickNode(DirTree &tree, QTreeWidgetItem *node)
{
    QTreeWidget *view = tree.treeView();
    view->scrollToItem(node);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(node).center());
}

inline QStringList childTexts(const QTreeWidgetItem *node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts.append(node->child(i)->text(0));
    return texts;
}

// The child of a node with the given text, or null.
inline QTreeWidgetItem *childNamed(QTreeWidgetItem *node, const QString &text)
{
    const int index = childTexts(node).indexOf(text);
    return index < 0 ? nullptr : node->child(index);
}

// Clicks the drive node of the first text, then each folder below it, as a user opens the
// tree. Returns the last node clicked, or null when one of them is not there.
inline QTreeWidgetItem *clickPath(DirTree &tree, const QStringList &texts)
{
    QTreeWidgetItem *node = tree.treeView()->findItems(texts.first(), Qt::MatchExactly).value(0);
    for (const QString &text : texts.mid(1)) {
        if (!node)
            return nullptr;
        clickNode(tree, node);
        node = childNamed(node, text);
    }
    if (node)
        clickNode(tree, node);
    return node;
}

// True when both buttons sit whole inside the window, right under the tree.
inline bool buttonsUnderTree(const Form9 &browser)
{
    const int treeBottom = browser.DirTree1->geometry().bottom();
    for (const QPushButton *button : browser.cmd) {
        if (!browser.rect().contains(button->geometry()) || button->y() != treeBottom + 1)
            return false;
    }
    return true;
}
