#pragma once

#include <QString>
#include <QStringList>

// Where the encoder keeps its profiles. Always on drive C, wherever Windows lives.
QString profileFolder();

// The three profiles the program ships beside itself, in the order they are copied.
QStringList shippedProfileFiles();
