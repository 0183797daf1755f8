#pragma once

#include <QLocale>
#include <QString>

class DriveObject;

// A drive size in bytes as megabytes with two decimals, in the locale's number format
// (134217728 gives "128.00" in English).
QString megabytesText(qint64 bytes, const QLocale &locale = QLocale());

// The question that offers a removable drive as the storage card. Fails when the drive's
// label or sizes cannot be read (no medium in the slot).
QString storageCardQuestion(const QString &letter, const DriveObject &drive);
