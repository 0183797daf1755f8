#pragma once

#include <QString>

// The two-line summary of the input and output folders that the folder buttons write into
// Text4 ("input: C:\Videos" CR LF "output: C:\Videos").
QString folderSummary(const QString &inputFolder, const QString &outputFolder);
