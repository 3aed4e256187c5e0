#include "ui/dialog_builder.h"

#include <cstdio>

#include "ui/controls/button.h"
#include "ui/controls/combo.h"
#include "ui/controls/container.h"
#include "ui/controls/edit.h"
#include "ui/controls/label.h"
#include "ui/controls/layouts.h"
#include "ui/controls/list.h"
#include "ui/controls/progress.h"
#include "ui/core/ui_parse.h"
#include "ui/paint_manager.h"

namespace qrv {

CControlUI* CDialogBuilder::CreateStandardControl(const std::string& tag) {
  if (tag == "Control") return new CControlUI;
  if (tag == "Label") return new CLabelUI;
  if (tag == "Text") return new CTextUI;
  if (tag == "Button") return new CButtonUI;
  if (tag == "Option") return new COptionUI;
  if (tag == "Edit") return new CEditUI;
  if (tag == "Combo") return new CComboUI;
  if (tag == "List") return new CListUI;
  if (tag == "ListLabelElement") return new CListLabelElementUI;
  if (tag == "ListContainerElement") return new CListContainerElementUI;
  if (tag == "Container") return new CContainerUI;
  if (tag == "VerticalLayout") return new CVerticalLayoutUI;
  if (tag == "HorizontalLayout") return new CHorizontalLayoutUI;
  if (tag == "TabLayout") return new CTabLayoutUI;
  if (tag == "Progress") return new CProgressUI;
  return nullptr;
}

CControlUI* CDialogBuilder::Create(const std::string& layout, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  const std::string_view trimmed = ui::Trim(layout);
  const bool is_text = !trimmed.empty() && trimmed.front() == '<';
  source_ = is_text ? std::string("(layout text)") : layout;
  const bool loaded = is_text ? markup_.Load(layout) : markup_.LoadFromFile(layout);
  if (!loaded) {
    // A missing file was reported by the skin already; a broken one is reported here.
    if (is_text || markup_.GetLastErrorMessage().find("cannot be read") == std::string::npos) {
      std::fprintf(stderr, "zelto_qrv: layout %s cannot be parsed: %s\n", source_.c_str(),
                   markup_.GetLastErrorMessage().c_str());
    }
    return nullptr;
  }
  return Create(callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
  if (!markup_.IsValid()) return nullptr;
  callback_ = callback;
  local_defaults_.clear();
  CMarkupNode root = markup_.GetRoot();
  CMarkupNode first = root;
  if (root.GetName() == "Window") {
    ApplyWindow(root, manager);
    first = root.GetChild();
  } else {
    // A bare control element: it alone is the layout.
    CControlUI* control = BuildElement(root, manager);
    if (control != nullptr && parent != nullptr) {
      auto* container = static_cast<CContainerUI*>(parent->GetInterface("Container"));
      if (container == nullptr || !container->Add(control)) {
        delete control;
        return nullptr;
      }
    }
    return control;
  }

  CControlUI* result = nullptr;
  auto* container =
      parent == nullptr ? nullptr : static_cast<CContainerUI*>(parent->GetInterface("Container"));
  for (CMarkupNode node = first; node.IsValid(); node = node.GetSibling()) {
    const std::string name = node.GetName();
    if (name == "Font" || name == "Default" || name == "Image") continue;
    CControlUI* control = BuildElement(node, manager);
    if (control == nullptr) continue;
    if (container != nullptr) {
      if (!container->Add(control)) {
        delete control;
        continue;
      }
      if (result == nullptr) result = control;
      continue;
    }
    // Without a parent there is room for one root: the first control.
    result = control;
    break;
  }
  return result;
}

void CDialogBuilder::ApplyWindow(const CMarkupNode& window, CPaintManagerUI* manager) {
  using namespace ui;
  // <Default> lists and fonts come first, so that they apply to the controls below them.
  int next_font_id = 0;
  for (CMarkupNode node = window.GetChild(); node.IsValid(); node = node.GetSibling()) {
    const std::string name = node.GetName();
    if (name == "Default") {
      const std::string target = node.GetAttributeValue("name");
      const std::string value = node.GetAttributeValue("value");
      if (manager != nullptr)
        manager->AddDefaultAttributeList(target, value);
      else
        local_defaults_[target] = value;
    } else if (name == "Font" && manager != nullptr) {
      const FontElement element = ParseFontElement(
          [&node](const char* attribute) { return node.GetAttributeValue(attribute); }, next_font_id);
      next_font_id = element.id + 1;
      const FontInfo& font = element.font;
      manager->AddFont(element.id, font.family, font.size, font.bold, font.underline, font.italic);
      if (element.is_default)
        manager->SetDefaultFont(font.family, font.size, font.bold, font.underline, font.italic);
    }
  }
  if (manager == nullptr) return;
  for (int i = 0; i < window.GetAttributeCount(); ++i) {
    const std::string name = window.GetAttributeName(i);
    const std::string value = window.GetAttributeValue(i);
    if (name == "size") {
      const CDuiSize size = ParseSize(value);
      manager->SetInitSize(size.cx, size.cy);
    } else if (name == "caption") {
      manager->SetCaptionRect(ParseRect(value));
    } else if (name == "sizebox") {
      manager->SetSizeBox(ParseRect(value));
    } else if (name == "roundcorner") {
      const CDuiSize round = ParseSize(value);
      manager->SetRoundCorner(round.cx, round.cy);
    } else if (name == "mininfo") {
      const CDuiSize size = ParseSize(value);
      manager->SetMinInfo(size.cx, size.cy);
    } else if (name == "maxinfo") {
      const CDuiSize size = ParseSize(value);
      manager->SetMaxInfo(size.cx, size.cy);
    } else if (name == "defaultfontcolor") {
      if (auto color = ParseColor(value)) manager->SetDefaultFontColor(OpaqueColor(*color));
    } else if (name == "disabledfontcolor") {
      if (auto color = ParseColor(value)) manager->SetDefaultDisabledColor(OpaqueColor(*color));
    } else if (name == "linkfontcolor") {
      if (auto color = ParseColor(value)) manager->SetDefaultLinkFontColor(OpaqueColor(*color));
    }
  }
}

std::string CDialogBuilder::DefaultListFor(const std::string& tag, CPaintManagerUI* manager) const {
  if (auto it = local_defaults_.find(tag); it != local_defaults_.end()) return it->second;
  return manager != nullptr ? manager->GetDefaultAttributeList(tag) : std::string();
}

CControlUI* CDialogBuilder::BuildElement(const CMarkupNode& node, CPaintManagerUI* manager) {
  const std::string tag = node.GetName();
  CControlUI* control = CreateStandardControl(tag);
  if (control == nullptr && callback_ != nullptr) control = callback_->CreateControl(tag);
  if (control == nullptr) return nullptr;  // unknown: skipped with its subtree

  const std::string defaults = DefaultListFor(tag, manager);
  if (!defaults.empty()) control->ApplyAttributeList(defaults);
  for (int i = 0; i < node.GetAttributeCount(); ++i) {
    control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
  }
  if (auto* container = static_cast<CContainerUI*>(control->GetInterface("Container"))) {
    for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
      CControlUI* built = BuildElement(child, manager);
      if (built != nullptr && !container->Add(built)) delete built;
    }
  }
  return control;
}

}  // namespace qrv
