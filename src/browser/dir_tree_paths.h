#pragma once

#include "platform/drive_kind.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The rules that give the directory tree's nodes their keys and texts, and that turn a node
// back into a folder path. Free of widgets so each rule can be checked on its own.

// "root" followed by the letter's character code: "root67" for C.
QString driveKey(QChar letter);
// A node is a drive node exactly when its key begins with "root".
bool isDriveKey(const QString &key);
// The letter a drive key stands for ('C' for "root67"); null for any other key. The text is
// no place to read it from: a label may hold "(" or ":" itself.
QChar letterOfDriveKey(const QString &key);
// The letter and the colon ("C:") of a drive key; empty for any other key.
QString driveDesignator(const QString &key);

// The image key for a kernel drive type code; none for the codes that get no node
// (1, no such root, and anything unknown to the program).
std::optional<QString> driveImageKey(std::uint32_t driveType);
inline constexpr std::uint32_t removableDriveType = drive_type_a::Removable;

// "(A:)": a removable drive is shown without reading its label.
QString removableDriveText(QChar letter);
// The label in proper case, then " (C:)"; a drive without a label begins with the blank.
QString labelledDriveText(QChar letter, const QString &label);
// What a screen reader says for a drive's node, since it cannot see the node's image: the
// kind of drive and its letter, after the label in proper case where there is one
// ("Clipferry, drive C:", "removable drive D:", "CD-ROM drive E:").
QString spokenDriveName(QChar letter, std::uint32_t driveType, const QString &label);

// The folder of a node: the drive's designator and the real names of the folders from the
// drive down to the node, joined by "\" ("C:" for the drive itself, "C:\Windows\System32").
QString folderPath(const QString &driveKey, const QStringList &realNames);
// The path as the tree hands it out: always ending in "\" ("C:\", "C:\Windows\").
QString withTrailingSeparator(const QString &path);
