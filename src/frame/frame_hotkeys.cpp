// The main frame's hotkey table and the rules by which its two keys are bound.

#include "frame/frame_hotkeys.h"

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "platform/desktop_notifier.h"
#include "platform/global_shortcuts.h"
#include "platform/hotkeys.h"
#include "platform/message_core.h"
#include "platform/window_system.h"

namespace qrv {
namespace {

constexpr int kKeyIds[] = {kCaptureHotkeyId, kBossHotkeyId};

const char* ShortcutName(int id) {
  return id == kBossHotkeyId ? FrameHotkeys::kBossShortcut : FrameHotkeys::kCaptureShortcut;
}

const char* ShortcutDescription(int id) {
  return id == kBossHotkeyId ? FrameHotkeys::kBossDescription : FrameHotkeys::kCaptureDescription;
}

}  // namespace

void FrameHotkeys::RegisterAll(HWND frame, const SettingsFile& settings) {
  frame_ = frame;
  const struct {
    const char* key_name;
    Hotkey fallback;
    int id;
  } keys[] = {{settings::kCap, kDefaultCaptureHotkey, kCaptureHotkeyId},
              {settings::kBoss, kDefaultBossHotkey, kBossHotkeyId}};
  for (const auto& key : keys) {
    const Hotkey hotkey = HotkeyFromSetting(settings.ReadText(settings::kHotkey, key.key_name), key.fallback);
    table_.push_back({hotkey.modifiers, hotkey.key, key.id});
  }
  boss_enabled_ = settings.ReadInt(settings::kHotkey, settings::kEnableBoss, 1) != 0;
  RegisterAltF4(frame);

  GlobalShortcuts* desktop = GlobalShortcuts::Get();
  if (desktop == nullptr) {
    mode_ = Mode::kGrab;
    BindAtStart();
    return;
  }
  // The keys wait for the session's answer (a moment), so that they are bound one way only and
  // a key the X server refuses is not reported where the desktop would have bound it.
  mode_ = Mode::kProbing;
  desktop->Probe(port_.handle(), [this](bool available) {
    mode_ = available ? Mode::kDesktop : Mode::kGrab;
    BindAtStart();
  });
}

void FrameHotkeys::RegisterAltF4(HWND frame) { RegisterHotKey(frame, kAltF4HotkeyId, MOD_ALT, VK_F4); }

void FrameHotkeys::UnregisterAltF4(HWND frame) { UnregisterHotKey(frame, kAltF4HotkeyId); }

Hotkey FrameHotkeys::KeyOf(const std::vector<HotkeyTableEntry>& table, int id) const {
  for (const HotkeyTableEntry& entry : table) {
    if (entry.id == id) return Hotkey{entry.modifiers, entry.key};
  }
  return {};
}

std::vector<FrameHotkeys::Wanted> FrameHotkeys::WantedKeys(Hotkey capture, Hotkey boss, bool boss_enabled,
                                                           bool* same_as_other) {
  // Only a letter with a modifier is taken from the desktop: a text whose modifiers read as none
  // ("WIN+A", a bare "A") would otherwise take that letter from every program.
  std::vector<Wanted> wanted;
  *same_as_other = false;
  if (capture.IsUsable()) wanted.push_back({kCaptureHotkeyId, capture});
  if (boss_enabled && boss.IsUsable()) {
    if (capture.IsUsable() && boss == capture)
      *same_as_other = true;
    else
      wanted.push_back({kBossHotkeyId, boss});
  }
  return wanted;
}

void FrameHotkeys::BindAtStart() {
  bool same_as_other = false;
  const auto wanted = WantedKeys(KeyOf(table_, kCaptureHotkeyId), KeyOf(table_, kBossHotkeyId), boss_enabled_,
                                 &same_as_other);
  auto settle = [this, same_as_other](std::map<int, KeyState> states) {
    states_ = std::move(states);
    // Both keys on one combination would make the boss key take screenshots.
    if (same_as_other) states_[kBossHotkeyId] = {false, HotkeyRefusal::kSameAsOther};
    ReportUnbound();
    TakeNextChange();
  };
  if (mode_ == Mode::kGrab) {
    std::map<int, KeyState> states;
    Grab(wanted, {}, states);
    settle(std::move(states));
    return;
  }
  busy_ = true;
  BindThroughDesktop(wanted, {}, [this, settle](Outcome, std::map<int, KeyState> states) {
    busy_ = false;
    settle(std::move(states));
  });
}

void FrameHotkeys::ReportUnbound() const {
  std::string body;
  for (const int id : kKeyIds) {
    auto it = states_.find(id);
    if (it == states_.end() || it->second.refusal == HotkeyRefusal::kNone) continue;
    body += HotkeyName(id) + " " + FormatHotkeyText(KeyOf(table_, id)) + "：" +
            RefusalText(it->second.refusal, id) + "\n";
  }
  if (body.empty()) return;
  DesktopNotifier::Get().Notify(
      DesktopNotification{"玄岚城登陆器", "dialog-warning", kUnboundSummary, body + kUnboundHint});
}

void FrameHotkeys::Change(HotkeyChange change) {
  waiting_.push_back(std::move(change));
  TakeNextChange();
}

void FrameHotkeys::Update(const HotkeyTableEntry& entry) {
  Change(HotkeyChange{{entry}, std::nullopt, nullptr, 0});
}

void FrameHotkeys::TakeNextChange() {
  while (mode_ != Mode::kProbing && !busy_ && !waiting_.empty()) {
    HotkeyChange change = std::move(waiting_.front());
    waiting_.pop_front();
    std::vector<HotkeyTableEntry> table = table_;
    for (const HotkeyTableEntry& entry : change.entries) {
      // The first entry with the id takes the new combination; no entry is added.
      auto it = std::find_if(table.begin(), table.end(), [&](const auto& e) { return e.id == entry.id; });
      if (it != table.end()) *it = HotkeyTableEntry{entry.modifiers, entry.key, it->id};
    }
    const bool boss_enabled = change.boss_enabled.value_or(boss_enabled_);
    bool same_as_other = false;
    const auto wanted =
        WantedKeys(KeyOf(table, kCaptureHotkeyId), KeyOf(table, kBossHotkeyId), boss_enabled, &same_as_other);
    if (same_as_other) {
      const bool boss_changed =
          change.boss_enabled.has_value() || std::any_of(change.entries.begin(), change.entries.end(),
                                                         [](const auto& e) { return e.id == kBossHotkeyId; });
      Answer(change,
             Outcome{false, boss_changed ? kBossHotkeyId : kCaptureHotkeyId, HotkeyRefusal::kSameAsOther});
      continue;
    }
    // Only a new combination (or a key switched on) can be refused; a key kept as it was that
    // could not be bound before is tried again, but its failure refuses nothing.
    std::set<int> must;
    for (const Wanted& key : wanted) {
      if (KeyOf(table_, key.id) != key.hotkey || (key.id == kBossHotkeyId && !boss_enabled_))
        must.insert(key.id);
    }
    auto commit = [this, table, boss_enabled](std::map<int, KeyState> states) {
      table_ = table;
      boss_enabled_ = boss_enabled;
      states_ = std::move(states);
    };
    // The keys in force are the ones wanted: nothing to ask of anyone (saving a page unchanged
    // must not bring up the desktop's dialog).
    const bool unchanged = std::all_of(kKeyIds, std::end(kKeyIds), [&](int id) {
      auto w = std::find_if(wanted.begin(), wanted.end(), [id](const Wanted& k) { return k.id == id; });
      auto state = states_.find(id);
      const bool bound = state != states_.end() && state->second.bound;
      return w == wanted.end() ? !bound : bound && KeyOf(table_, id) == w->hotkey;
    });
    if (unchanged || mode_ == Mode::kGrab || GlobalShortcuts::Get() == nullptr) {
      std::map<int, KeyState> states = states_;
      Outcome outcome;
      if (!unchanged) {
        states.clear();
        outcome = Grab(wanted, must, states);
      }
      if (outcome.accepted) commit(std::move(states));
      Answer(change, outcome);
      continue;
    }
    busy_ = true;
    BindThroughDesktop(wanted, must, [this, change, commit](Outcome outcome, std::map<int, KeyState> states) {
      busy_ = false;
      if (outcome.accepted) commit(std::move(states));
      Answer(change, outcome);
      TakeNextChange();
    });
    return;
  }
}

FrameHotkeys::Outcome FrameHotkeys::Grab(const std::vector<Wanted>& wanted, const std::set<int>& must,
                                         std::map<int, KeyState>& states) {
  std::map<int, std::optional<Hotkey>> before;
  for (const int id : kKeyIds) {
    auto state = states_.find(id);
    if (state != states_.end() && state->second.bound) before[id] = KeyOf(table_, id);
  }
  std::map<int, std::optional<Hotkey>> now = before;
  auto wanted_of = [&](int id) -> const Wanted* {
    auto it = std::find_if(wanted.begin(), wanted.end(), [id](const Wanted& w) { return w.id == id; });
    return it == wanted.end() ? nullptr : &*it;
  };
  // A key no longer wanted goes; so does one whose combination the other key takes over (the two
  // swapped), or the other could never have it.
  for (const int id : kKeyIds) {
    const Wanted* other = wanted_of(id == kBossHotkeyId ? kCaptureHotkeyId : kBossHotkeyId);
    if (now[id] && (wanted_of(id) == nullptr || (other != nullptr && other->hotkey == *now[id]))) {
      UnregisterHotKey(frame_, id);
      now[id].reset();
    }
  }
  Outcome outcome;
  for (const int id : kKeyIds) states[id] = KeyState{};
  for (const Wanted& key : wanted) {
    // A key already held with this combination stays as it is; one held with another keeps it
    // until the new combination is grabbed.
    if (RegisterHotKey(frame_, key.id, key.hotkey.modifiers, key.hotkey.key)) {
      now[key.id] = key.hotkey;
      states[key.id] = KeyState{true, HotkeyRefusal::kNone};
      continue;
    }
    states[key.id] = KeyState{false, HotkeyRefusal::kHeldElsewhere};
    if (must.contains(key.id)) {
      outcome = Outcome{false, key.id, HotkeyRefusal::kHeldElsewhere};
      break;
    }
  }
  if (outcome.accepted) return outcome;
  // Back to the keys as they were: first every changed key lets go, then the old ones come back.
  for (const int id : kKeyIds) {
    if (now[id] != before[id] && now[id]) UnregisterHotKey(frame_, id);
  }
  for (const int id : kKeyIds) {
    if (now[id] != before[id] && before[id])
      RegisterHotKey(frame_, id, before[id]->modifiers, before[id]->key);
  }
  return outcome;
}

void FrameHotkeys::BindThroughDesktop(const std::vector<Wanted>& wanted, const std::set<int>& must,
                                      std::function<void(Outcome, std::map<int, KeyState>)> done) {
  std::vector<PortalShortcut> shortcuts;
  std::vector<std::string> required;
  for (const int id : must) required.emplace_back(ShortcutName(id));
  for (const Wanted& key : wanted) {
    shortcuts.push_back(PortalShortcut{ShortcutName(key.id), ShortcutDescription(key.id), frame_, key.id,
                                       key.hotkey.modifiers, key.hotkey.key});
  }
  GlobalShortcuts::Get()->Bind(
      std::move(shortcuts), std::move(required), port_.handle(),
      [wanted, must, done = std::move(done)](bool accepted, std::vector<std::string> bound) {
        std::map<int, KeyState> states;
        for (const int id : kKeyIds) states[id] = KeyState{};
        Outcome outcome;
        for (const Wanted& key : wanted) {
          const bool is_bound =
              accepted && std::find(bound.begin(), bound.end(), ShortcutName(key.id)) != bound.end();
          states[key.id] =
              KeyState{is_bound, is_bound ? HotkeyRefusal::kNone : HotkeyRefusal::kRefusedByDesktop};
          if (!is_bound && must.contains(key.id) && outcome.accepted)
            outcome = Outcome{false, key.id, HotkeyRefusal::kRefusedByDesktop};
        }
        // A session the desktop would not make at all refuses a change that must bind a key.
        if (!accepted && outcome.accepted && !must.empty())
          outcome = Outcome{false, *must.begin(), HotkeyRefusal::kRefusedByDesktop};
        done(outcome, std::move(states));
      });
}

void FrameHotkeys::Answer(const HotkeyChange& change, const Outcome& outcome) const {
  if (change.reply_to == nullptr) return;
  auto answer = std::make_unique<HotkeyAnswer>();
  answer->serial = change.serial;
  answer->accepted = outcome.accepted;
  answer->refused_id = outcome.refused_id;
  answer->refusal = outcome.refusal;
  answer->in_force = InForce();
  ::qrv::PostMessage(change.reply_to, kMsgHotkeyAnswer, 0, std::move(answer));
}

std::optional<int> FrameHotkeys::Match(unsigned modifiers, unsigned key) const {
  for (const HotkeyTableEntry& entry : table_) {
    if (entry.modifiers == modifiers && entry.key == key) return entry.id;
  }
  return std::nullopt;
}

std::vector<HotkeyInForce> FrameHotkeys::InForce() const {
  std::vector<HotkeyInForce> keys;
  for (const int id : kKeyIds) {
    HotkeyInForce key;
    key.id = id;
    key.hotkey = KeyOf(table_, id);
    key.switched_off = id == kBossHotkeyId && !boss_enabled_;
    if (auto state = states_.find(id); state != states_.end()) {
      key.bound = state->second.bound;
      key.refusal = state->second.refusal;
    }
    GlobalShortcuts* desktop = GlobalShortcuts::Get();
    if (key.bound && mode_ == Mode::kDesktop && desktop != nullptr)
      key.desktop_trigger = desktop->TriggerOf(ShortcutName(id));
    keys.push_back(key);
  }
  return keys;
}

}  // namespace qrv
