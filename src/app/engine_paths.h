#pragma once

#include <QString>

// Where the encoder engine is looked for: the Windows drive's letter, then the encoder's
// folder and the module's name. With no letter the path begins with ":\".
QString engineModulePath(const QString &winDrive);

QString engineRequiredText();
QString downloadQuestion();

// The browser with the page that explains the encoder engine and how to reinstall it.
QString downloadCommandLine();
