#pragma once
// CMarkup: a parsed layout file (pugixml underneath), and CMarkupNode, a light handle on one of
// its elements that stays valid as long as the CMarkup does.

#include <memory>
#include <string>

namespace pugi {
struct xml_node_struct;
class xml_document;
}  // namespace pugi

namespace qrv {

class CMarkupNode {
 public:
  CMarkupNode() = default;
  explicit CMarkupNode(pugi::xml_node_struct* node) : node_(node) {}

  bool IsValid() const { return node_ != nullptr; }
  std::string GetName() const;
  // The element's text content.
  std::string GetValue() const;
  bool HasAttributes() const { return GetAttributeCount() > 0; }
  bool HasAttribute(const std::string& name) const;
  int GetAttributeCount() const;
  std::string GetAttributeName(int index) const;
  std::string GetAttributeValue(int index) const;
  std::string GetAttributeValue(const std::string& name) const;
  bool HasChildren() const { return GetChild().IsValid(); }
  bool HasSiblings() const { return GetSibling().IsValid(); }
  // Element children and siblings only (text and comments are skipped).
  CMarkupNode GetChild() const;
  CMarkupNode GetChild(const std::string& name) const;
  CMarkupNode GetSibling() const;
  CMarkupNode GetParent() const;

 private:
  pugi::xml_node_struct* node_ = nullptr;
};

class CMarkup {
 public:
  CMarkup();
  ~CMarkup();
  CMarkup(const CMarkup&) = delete;
  CMarkup& operator=(const CMarkup&) = delete;

  // Parses XML text.
  bool Load(const std::string& xml);
  // Parses a layout file of the skin archive.
  bool LoadFromFile(const std::string& name);
  void Release();
  bool IsValid() const { return valid_; }
  const std::string& GetLastErrorMessage() const { return error_; }
  // The document element.
  CMarkupNode GetRoot() const;

 private:
  std::unique_ptr<pugi::xml_document> document_;
  bool valid_ = false;
  std::string error_;
};

}  // namespace qrv
