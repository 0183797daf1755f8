#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Line break of the program's multi-line texts (message boxes, Text3, Text4).
inline const QString CrLf = QStringLiteral("\r\n");

// Joins lines with CR LF.
QString joinCrLf(const QStringList &lines);

// A whole number in plain decimal form: no blanks, no separators, "-" when negative.
QString decimalText(std::int64_t value);

// Plain joining of a folder and a name with one "\" between them, with no check for a
// separator already at the end of the folder ("C:\" + "a.mpg" gives "C:\\a.mpg").
QString joinPath(const QString &folder, const QString &name);

// The name at the end of a Windows-form path, after its last "\" ("C:\\a\\b.wmv" gives "b.wmv").
QString nameInPath(const QString &path);

// Proper case: the first letter of every word upper case, every other letter lower case;
// words are separated by white space.
QString properCase(const QString &text);
