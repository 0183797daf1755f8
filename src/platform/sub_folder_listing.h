#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Listing a folder's sub-folders away from the window thread. A folder on a network share
// whose server is gone (or any file system that stops answering) can keep a call waiting
// for minutes, and such a call cannot be cancelled; so the path is made on the window
// thread without asking the file system (toNativePathAsWritten), and the listing itself
// touches nothing but the file system and what it is given.

// The real names of a native folder's sub-folders (symbolic links to folders included;
// ".", "..", hidden ones and names holding "\" left out), in the order the file system
// gives them. A folder is told by the type the folder's entry gives (only entries of no
// given type, and symbolic links, are looked up), so a hung file system mounted on a
// sub-folder is never asked. `entryRead` is called at every entry, so a caller can tell a
// slow folder from one that does not answer. Safe on any thread. Fails with a description
// naming the folder and the reason.
QStringList listNativeSubFolders(const QString &nativeFolder,
                                 const std::function<void()> &entryRead = {});
