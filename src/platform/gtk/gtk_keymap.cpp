// Virtual-key codes of GDK key events. Letters and digits are named by the key's symbol in the
// first keyboard group without modifiers, so Shift+1 is still '1' and a Cyrillic layout still
// gives 'Q' for the Q key, as Windows' virtual keys do; keypad keys keep the symbol Num Lock gave
// them (VK_NUMPAD7 with Num Lock on, VK_HOME with it off).

#include <gdk/gdkkeysyms.h>

#include "platform/gtk/native_window.h"

namespace qrv {
namespace {

struct KeyMapping {
  guint keyval;
  unsigned vk;
};

constexpr KeyMapping kKeys[] = {
    {GDK_KEY_BackSpace, VK_BACK},   {GDK_KEY_Tab, VK_TAB},          {GDK_KEY_ISO_Left_Tab, VK_TAB},
    {GDK_KEY_KP_Tab, VK_TAB},       {GDK_KEY_Return, VK_RETURN},    {GDK_KEY_KP_Enter, VK_RETURN},
    {GDK_KEY_ISO_Enter, VK_RETURN}, {GDK_KEY_Shift_L, VK_SHIFT},    {GDK_KEY_Shift_R, VK_SHIFT},
    {GDK_KEY_Control_L, VK_CONTROL}, {GDK_KEY_Control_R, VK_CONTROL}, {GDK_KEY_Alt_L, VK_MENU},
    {GDK_KEY_Alt_R, VK_MENU},       {GDK_KEY_Meta_L, VK_MENU},      {GDK_KEY_Meta_R, VK_MENU},
    {GDK_KEY_ISO_Level3_Shift, VK_MENU}, {GDK_KEY_Pause, 0x13},     {GDK_KEY_Caps_Lock, 0x14},
    {GDK_KEY_Escape, VK_ESCAPE},    {GDK_KEY_space, VK_SPACE},      {GDK_KEY_KP_Space, VK_SPACE},
    {GDK_KEY_Page_Up, 0x21},        {GDK_KEY_KP_Page_Up, 0x21},     {GDK_KEY_Page_Down, 0x22},
    {GDK_KEY_KP_Page_Down, 0x22},   {GDK_KEY_End, VK_END},          {GDK_KEY_KP_End, VK_END},
    {GDK_KEY_Home, VK_HOME},        {GDK_KEY_KP_Home, VK_HOME},     {GDK_KEY_Left, VK_LEFT},
    {GDK_KEY_KP_Left, VK_LEFT},     {GDK_KEY_Up, VK_UP},            {GDK_KEY_KP_Up, VK_UP},
    {GDK_KEY_Right, VK_RIGHT},      {GDK_KEY_KP_Right, VK_RIGHT},   {GDK_KEY_Down, VK_DOWN},
    {GDK_KEY_KP_Down, VK_DOWN},     {GDK_KEY_Print, 0x2C},          {GDK_KEY_Insert, 0x2D},
    {GDK_KEY_KP_Insert, 0x2D},      {GDK_KEY_Delete, VK_DELETE},    {GDK_KEY_KP_Delete, VK_DELETE},
    {GDK_KEY_Super_L, 0x5B},        {GDK_KEY_Super_R, 0x5C},        {GDK_KEY_Menu, 0x5D},
    {GDK_KEY_KP_Multiply, 0x6A},    {GDK_KEY_KP_Add, 0x6B},         {GDK_KEY_KP_Separator, 0x6C},
    {GDK_KEY_KP_Subtract, 0x6D},    {GDK_KEY_KP_Decimal, 0x6E},     {GDK_KEY_KP_Divide, 0x6F},
    {GDK_KEY_Num_Lock, 0x90},       {GDK_KEY_Scroll_Lock, 0x91},    {GDK_KEY_semicolon, 0xBA},
    {GDK_KEY_equal, 0xBB},          {GDK_KEY_comma, 0xBC},          {GDK_KEY_minus, 0xBD},
    {GDK_KEY_period, 0xBE},         {GDK_KEY_slash, 0xBF},          {GDK_KEY_grave, 0xC0},
    {GDK_KEY_bracketleft, 0xDB},    {GDK_KEY_backslash, 0xDC},      {GDK_KEY_bracketright, 0xDD},
    {GDK_KEY_apostrophe, 0xDE},
};

unsigned VirtualKeyOfKeyval(guint keyval) {
  const guint upper = gdk_keyval_to_upper(keyval);
  if (upper >= GDK_KEY_A && upper <= GDK_KEY_Z) return 'A' + (upper - GDK_KEY_A);
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return '0' + (keyval - GDK_KEY_0);
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return 0x60 + (keyval - GDK_KEY_KP_0);
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return VK_F1 + (keyval - GDK_KEY_F1);
  for (const auto& mapping : kKeys) {
    if (mapping.keyval == keyval) return mapping.vk;
  }
  return 0;
}

bool IsKeypad(guint keyval) { return keyval >= GDK_KEY_KP_Space && keyval <= GDK_KEY_KP_Equal; }

}  // namespace

unsigned VirtualKeyFromEvent(const GdkEventKey* event) {
  if (IsKeypad(event->keyval)) return VirtualKeyOfKeyval(event->keyval);
  guint base = 0;
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
  if (gdk_keymap_translate_keyboard_state(keymap, event->hardware_keycode, static_cast<GdkModifierType>(0), 0,
                                          &base, nullptr, nullptr, nullptr)) {
    if (const unsigned vk = VirtualKeyOfKeyval(base); vk != 0) return vk;
  }
  return VirtualKeyOfKeyval(event->keyval);
}

}  // namespace qrv
