#pragma once
// One client of the automation server: reads request lines, writes answer lines, runs actions.
// A connection owns itself and ends on the main context when the client hangs up, a read or
// write fails, or the server's cancellable is cancelled.

#include <gio/gio.h>

namespace qrv::automation {

// Starts serving `connection` on the default main context.
void ServeConnection(GSocketConnection* connection, GCancellable* cancellable);

// Connections alive now.
int LiveConnections();

}  // namespace qrv::automation
