#include "webapi/data_element_list.h"

#include <utility>

namespace qrv {

void DataElementList::Load(std::string text) {
  elements_.clear();
  cursor_ = 0;
  current_ = kNoElement;
  text_ = std::move(text);
  if (text_.empty()) return;

  const std::string_view whole(text_);
  constexpr auto npos = std::string_view::npos;
  std::size_t rest = 0;  // where the unread rest of the text begins
  // First "/>" at or after some earlier start; still the first one from any later start that does
  // not lie beyond it. A missing "/>" stays missing for every later start.
  std::size_t close = npos;
  bool close_known = false;

  while (true) {
    const std::size_t found = whole.find("data", rest);
    if (found == npos) break;
    const std::size_t start = found == rest ? found : found - 1;
    if (!close_known || (close != npos && close < start)) {
      close = whole.find("/>", start);
      close_known = true;
    }
    if (close == npos) {
      elements_.push_back({start, 1});
      rest = start + 1;
    } else {
      elements_.push_back({start, close + 2 - start});
      rest = close + 2;
    }
  }
}

bool DataElementList::Next() {
  if (text_.empty() || cursor_ >= elements_.size()) return false;
  current_ = cursor_++;
  return true;
}

std::string DataElementList::Attribute(std::string_view key) const {
  return std::string(DataElementAttribute(current(), key));
}

std::string_view DataElementList::ElementAt(std::size_t index) const {
  if (index >= elements_.size()) return {};
  const Span& span = elements_[index];
  return std::string_view(text_).substr(span.offset, span.length);
}

std::string_view DataElementAttribute(std::string_view element, std::string_view key) {
  const std::size_t at = element.find(key);
  // The platform's reader added the key length and two to the search result; for a missing key
  // that result was -1, which is where "key length + 1" comes from.
  const std::size_t skip = at == std::string_view::npos ? key.size() + 1 : at + key.size() + 2;
  if (skip >= element.size()) return {};
  const std::string_view value = element.substr(skip);
  const std::size_t quote = value.find('\'');
  if (quote == std::string_view::npos) return {};
  return value.substr(0, quote);
}

}  // namespace qrv
