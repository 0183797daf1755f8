#pragma once

#include <QString>

#include <functional>

class QObject;

// The desktop's two buses as the program reaches them. A bus is never started for the
// program: without a session there is nobody to tell. Connecting can wait for a bus that
// does not answer, so the window thread never connects itself.
enum class Bus { Session, System };

// The name of a connection to the bus, or "" when there is none. A failed connection is
// dropped, so a later try starts afresh. Waits while it connects.
QString connectToBus(Bus bus);

// Connects from a thread of its own and hands the connection's name ("" for none) to `then`
// on the thread of `context`; nothing is handed once the context is gone.
void reachBus(Bus bus, QObject *context, std::function<void(const QString &connection)> then);

// As connectToBus, giving up after `milliseconds` (the connecting thread then ends alone).
QString connectToBusWithin(Bus bus, int milliseconds);
