#pragma once
// The messages through which other windows reach the main frame (and, for 1049, its More panel).
// Windows below the main frame in the program's layers send them; the main frame handles them.
// A message that hands a block over carries it as an owning payload (platform/message_core.h).

#include "platform/messages.h"

namespace qrv {

inline constexpr UINT kMsgSwitchServer = WM_USER + 8;     // 1032: ServerEntry payload, from the server list
inline constexpr UINT kMsgUnlocked = WM_USER + 9;         // 1033: the screen lock was unlocked
inline constexpr UINT kMsgOpenServerList = WM_USER + 10;  // 1034: from the player information pop-up
inline constexpr UINT kMsgOpenAlarmList = WM_USER + 11;   // 1035: RECT payload, where to open it
inline constexpr UINT kMsgHotkeyChanged = WM_USER + 12;   // 1036: HotkeyChange (or HotkeyTableEntry) payload
inline constexpr UINT kMsgTrayCallback = WM_USER + 13;    // 1037: the tray icon's mouse message
// 1038: the main frame's answer to a HotkeyChange, to the window that asked (HotkeyAnswer payload).
inline constexpr UINT kMsgHotkeyAnswer = WM_USER + 14;
inline constexpr UINT kMsgExitSteps = WM_USER + 24;       // 1048: sent before a window ends the program
inline constexpr UINT kMsgOpenSettings = WM_USER + 25;    // 1049: to the More panel, from the tray menu
inline constexpr UINT kMsgDockWindow = WM_USER + 100;     // 1124: another program docks a window
inline constexpr UINT kMsgDockedCaption = WM_USER + 106;  // 1130: a docked window's caption changed

}  // namespace qrv
