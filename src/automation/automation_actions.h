#pragma once
// The commands that act on the program: input through the window's own messages, and direct
// calls on controls. Each checks the request, answers, and leaves the acting to its action.

#include <json-glib/json-glib.h>

#include "automation/automation_commands.h"

namespace qrv::automation {

PreparedCommand ClickCommand(JsonObject* request);
PreparedCommand KeyCommand(JsonObject* request);
PreparedCommand TypeCommand(JsonObject* request);
PreparedCommand SetTextCommand(JsonObject* request);
PreparedCommand SelectCommand(JsonObject* request);
PreparedCommand NotifyCommand(JsonObject* request);
PreparedCommand WindowCommandCommand(JsonObject* request);
PreparedCommand CloseCommand(JsonObject* request);
// WM_SYSCOMMAND with "command" (SC_CLOSE 61536 is the window manager's close).
PreparedCommand SysCommandCommand(JsonObject* request);

}  // namespace qrv::automation
