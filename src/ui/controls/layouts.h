#pragma once
// The arranging containers: a column (CVerticalLayoutUI), a row (CHorizontalLayoutUI) and a
// stack that shows one child at a time (CTabLayoutUI).

#include <string>

#include "ui/controls/container.h"

namespace qrv {

class CVerticalLayoutUI : public CContainerUI {
 public:
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
  void SetPos(RECT rc, bool need_invalidate = true) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
  void SetPos(RECT rc, bool need_invalidate = true) override;
};

class CTabLayoutUI : public CContainerUI {
 public:
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool do_not_destroy = false) override;
  bool RemoveAt(int index, bool do_not_destroy = false) override;
  void RemoveAll() override;

  int GetCurSel() const { return cur_sel_; }
  // Shows child `index` and hides the others; false for an index out of range.
  virtual bool SelectItem(int index);
  bool SelectItem(CControlUI* control);

  void SetAttribute(const std::string& name, const std::string& value) override;
  void SetPos(RECT rc, bool need_invalidate = true) override;

 private:
  void ApplySelection();
  int cur_sel_ = 0;
};

}  // namespace qrv
