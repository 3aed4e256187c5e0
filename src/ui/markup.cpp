#include "ui/markup.h"

#include <pugixml.hpp>

#include "ui/resources/skin_archive.h"

namespace qrv {
namespace {

pugi::xml_node NextElement(pugi::xml_node node) {
  while (node && node.type() != pugi::node_element) node = node.next_sibling();
  return node;
}

}  // namespace

std::string CMarkupNode::GetName() const { return node_ ? pugi::xml_node(node_).name() : ""; }

std::string CMarkupNode::GetValue() const { return node_ ? pugi::xml_node(node_).child_value() : ""; }

bool CMarkupNode::HasAttribute(const std::string& name) const {
  return node_ != nullptr && static_cast<bool>(pugi::xml_node(node_).attribute(name.c_str()));
}

int CMarkupNode::GetAttributeCount() const {
  if (node_ == nullptr) return 0;
  int count = 0;
  for (auto attribute = pugi::xml_node(node_).first_attribute(); attribute;
       attribute = attribute.next_attribute())
    ++count;
  return count;
}

std::string CMarkupNode::GetAttributeName(int index) const {
  if (node_ == nullptr) return {};
  auto attribute = pugi::xml_node(node_).first_attribute();
  for (int i = 0; attribute && i < index; ++i) attribute = attribute.next_attribute();
  return attribute ? attribute.name() : "";
}

std::string CMarkupNode::GetAttributeValue(int index) const {
  if (node_ == nullptr) return {};
  auto attribute = pugi::xml_node(node_).first_attribute();
  for (int i = 0; attribute && i < index; ++i) attribute = attribute.next_attribute();
  return attribute ? attribute.value() : "";
}

std::string CMarkupNode::GetAttributeValue(const std::string& name) const {
  if (node_ == nullptr) return {};
  return pugi::xml_node(node_).attribute(name.c_str()).value();
}

CMarkupNode CMarkupNode::GetChild() const {
  if (node_ == nullptr) return {};
  return CMarkupNode(NextElement(pugi::xml_node(node_).first_child()).internal_object());
}

CMarkupNode CMarkupNode::GetChild(const std::string& name) const {
  if (node_ == nullptr) return {};
  return CMarkupNode(pugi::xml_node(node_).child(name.c_str()).internal_object());
}

CMarkupNode CMarkupNode::GetSibling() const {
  if (node_ == nullptr) return {};
  return CMarkupNode(NextElement(pugi::xml_node(node_).next_sibling()).internal_object());
}

CMarkupNode CMarkupNode::GetParent() const {
  if (node_ == nullptr) return {};
  pugi::xml_node parent = pugi::xml_node(node_).parent();
  return parent.type() == pugi::node_element ? CMarkupNode(parent.internal_object()) : CMarkupNode();
}

CMarkup::CMarkup() = default;
CMarkup::~CMarkup() = default;

bool CMarkup::Load(const std::string& xml) {
  Release();
  document_ = std::make_unique<pugi::xml_document>();
  const pugi::xml_parse_result result =
      document_->load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result) {
    error_ = std::string(result.description()) + " at byte " + std::to_string(result.offset);
    document_.reset();
    return false;
  }
  if (!document_->document_element()) {
    error_ = "no root element";
    document_.reset();
    return false;
  }
  valid_ = true;
  return true;
}

bool CMarkup::LoadFromFile(const std::string& name) {
  Release();
  auto bytes = ui::SkinResources::Read(name);
  if (!bytes) {
    error_ = name + " cannot be read from the skin";
    return false;
  }
  return Load(*bytes);
}

void CMarkup::Release() {
  document_.reset();
  valid_ = false;
  error_.clear();
}

CMarkupNode CMarkup::GetRoot() const {
  if (!valid_ || !document_) return {};
  return CMarkupNode(document_->document_element().internal_object());
}

}  // namespace qrv
