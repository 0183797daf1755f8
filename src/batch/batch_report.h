#pragma once

#include <QString>
#include <QStringList>

// What the batch tells the user at its end, in one box: the selected files it did not
// convert, then the files it converted with a remark (not copied to the card, ...). Each
// line is "<input name>: <reason>". Empty when there is nothing to tell.
QString endOfBatchText(const QStringList &notConverted, const QStringList &convertedWithRemarks);
