#pragma once
// What the automation interface can see of the program's windows: finding a window by handle,
// class or title, walking a window's control tree, and describing windows and controls as JSON
// objects. Everything here only reads; the commands that act live in automation_commands.cpp.

#include <json-glib/json-glib.h>

#include <string>
#include <vector>

#include "platform/types.h"

namespace qrv {

class CControlUI;

namespace automation {

// The window a request names: "hwnd" (a live handle), else "class" (the first visible window of
// that class, else the first one), else "title" (likewise). Returns null and fills `error` when
// the request names none or no such window lives.
HWND FindRequestedWindow(JsonObject* request, std::string* error);

// The window's class as the toolkit knows it, or "" for windows that are not toolkit windows
// (message boxes, native views).
std::string WindowClassOf(HWND hwnd);

// Every named control of the window's tree, in tree order (empty without a paint manager).
std::vector<CControlUI*> NamedControls(HWND hwnd);

// The named control of the window, or null with `error` filled.
CControlUI* FindNamedControl(HWND hwnd, const std::string& name, std::string* error);

// Visible as the player sees it: the control and every container above it are shown.
bool IsEffectivelyVisible(const CControlUI* control);
// Enabled as input sees it: the control and every container above it are enabled.
bool IsEffectivelyEnabled(const CControlUI* control);

// The control's text as another program may read it: a password field gives only what it shows
// (one "●" per character), never the password itself.
std::string ReadableText(CControlUI* control);

// Adds the members describing a window / a control to the builder's open object.
void DescribeWindow(JsonBuilder* builder, HWND hwnd);
void DescribeControl(JsonBuilder* builder, CControlUI* control);

}  // namespace automation
}  // namespace qrv
