#pragma once
// CDialogBuilder: turns a layout (a file of the skin archive, or XML text) into a control tree.
//
// A layout is either a <Window> element, whose attributes (size, caption, sizebox, roundcorner,
// mininfo, maxinfo, defaultfontcolor, disabledfontcolor, linkfontcolor) and <Font>/<Default>
// children go to the paint manager and whose first control element is the root, or a control
// element itself. Elements that are not controls of the toolkit are offered to the callback;
// an element nobody knows is skipped with everything inside it.

#include <map>
#include <string>

#include "ui/markup.h"

namespace qrv {

class CControlUI;
class CPaintManagerUI;

class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  // A control for a layout element the toolkit does not know, or null.
  virtual CControlUI* CreateControl(const std::string& tag) = 0;
};

class CDialogBuilder {
 public:
  // Builds `layout` (XML text when it starts with '<', otherwise a file name of the skin).
  // With `parent` (a container) the built controls are added to it. Returns the root control,
  // or null when the layout cannot be read or holds no control.
  CControlUI* Create(const std::string& layout, IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  // Builds again from the markup loaded by the last Create (rows of a list use this).
  CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                     CControlUI* parent = nullptr);
  CMarkup* GetMarkup() { return &markup_; }

  // A new control of the toolkit for an element name, or null.
  static CControlUI* CreateStandardControl(const std::string& tag);

 private:
  void ApplyWindow(const CMarkupNode& window, CPaintManagerUI* manager);
  CControlUI* BuildElement(const CMarkupNode& node, CPaintManagerUI* manager);
  std::string DefaultListFor(const std::string& tag, CPaintManagerUI* manager) const;

  CMarkup markup_;
  std::string source_;
  IDialogBuilderCallback* callback_ = nullptr;
  // <Default> lists when there is no paint manager to keep them.
  std::map<std::string, std::string> local_defaults_;
};

}  // namespace qrv
