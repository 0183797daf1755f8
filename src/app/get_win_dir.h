#pragma once

#include <QString>

// The Windows folder as the system reports it ("C:\Windows").
QString GetWinDir();
