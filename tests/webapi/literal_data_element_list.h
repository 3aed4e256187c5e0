#pragma once
// The platform's data element reader written out step by step, copying the rest of the text
// after every element as the platform's client always did. It is quadratic and only fit for
// tests: the production reader must give exactly the same elements and attribute values.

#include <string>
#include <vector>

namespace qrv::testing {

class LiteralDataElementList {
 public:
  void Load(const std::string& text) {
    elements_.clear();
    cursor_ = 0;
    current_.clear();
    text_ = text;
    if (text.empty()) return;
    std::string rest = text;
    while (rest.find("data") != std::string::npos) {
      const std::size_t i = rest.find("data");
      if (i != 0) rest = rest.substr(i - 1);
      const std::size_t close = rest.find("/>");
      std::string element;
      if (close == std::string::npos) {
        element = rest.substr(0, 1);
        rest = rest.substr(1);
      } else {
        element = rest.substr(0, close + 2);
        rest = rest.substr(close + 2);
      }
      elements_.push_back(element);
    }
  }

  bool Next() {
    if (text_.empty() || cursor_ >= elements_.size()) return false;
    current_ = elements_[cursor_++];
    return true;
  }

  std::string Attribute(const std::string& key) const {
    // The search result is a signed position, -1 when the key is absent, and the value starts
    // key length + 2 characters after it.
    const std::size_t found = current_.find(key);
    const long long position = found == std::string::npos ? -1 : static_cast<long long>(found);
    const long long start = position + static_cast<long long>(key.size()) + 2;
    const std::string value =
        start >= static_cast<long long>(current_.size()) ? std::string() : current_.substr(start);
    const std::size_t quote = value.find('\'');
    return quote == std::string::npos ? std::string() : value.substr(0, quote);
  }

  const std::vector<std::string>& elements() const { return elements_; }
  const std::string& current() const { return current_; }

 private:
  std::string text_;
  std::vector<std::string> elements_;
  std::size_t cursor_ = 0;
  std::string current_;
};

}  // namespace qrv::testing
