#include "tools/hotkey_binding.h"

namespace qrv {

std::string HotkeyName(int id) { return id == kBossHotkeyId ? "老板键" : "截图热键"; }

std::string RefusalText(HotkeyRefusal refusal, int id) {
  switch (refusal) {
    case HotkeyRefusal::kHeldElsewhere:
      return "该快捷键已被其他程序占用";
    case HotkeyRefusal::kRefusedByDesktop:
      return "桌面环境未允许使用该快捷键";
    case HotkeyRefusal::kSameAsOther:
      return "该快捷键与" + HotkeyName(id == kBossHotkeyId ? kCaptureHotkeyId : kBossHotkeyId) + "相同";
    case HotkeyRefusal::kNone:
      break;
  }
  return {};
}

std::string InForceText(const HotkeyInForce& key) {
  if (key.switched_off) return HotkeyName(key.id) + "已关闭";
  if (key.bound) {
    if (!key.desktop_trigger.empty()) return "当前生效：" + key.desktop_trigger + "（桌面快捷键）";
    return "当前生效：" + FormatHotkeyText(key.hotkey);
  }
  if (key.refusal != HotkeyRefusal::kNone) return "当前未生效：" + RefusalText(key.refusal, key.id);
  return "未设置热键";
}

const HotkeyInForce* FindInForce(const std::vector<HotkeyInForce>& keys, int id) {
  for (const HotkeyInForce& key : keys) {
    if (key.id == id) return &key;
  }
  return nullptr;
}

}  // namespace qrv
