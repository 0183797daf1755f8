#pragma once

#include <QString>

// Why a program file (the engine module or its worker) is damaged, told from its headers
// alone: "the file ends after 5000 bytes, but its contents need 1391112"; empty when its
// headers and the parts they name are all there (or it is no program file of this computer's
// kind at all, which the system's loader words itself).
//
// A file cut short is the usual damage: a copy or a download broken off, a full disk. The
// system's loader maps the parts the headers name straight from the file without comparing
// them with its size, and the first touch of a page past the file's end ends the process with
// SIGBUS ("Bus error") instead of an error message, so the file is looked at beforehand.
QString programFileDamage(const QString &nativePath);
