#pragma once
// Reader of the platform's "data element" responses (profile, server list, news list), which
// look like <data id='7' name='...' .../> one after another. The platform's own reader is a
// handful of substring searches rather than an XML parser, and the platform's responses are
// shaped for exactly those searches, so this reader keeps every one of its rules:
//
//  - An element starts one character before each "data" (normally at "<"; at "data" itself when
//    the remaining text starts with it) and runs up to and including the next "/>".
//  - Without a following "/>", the element is that one character and the reading moves on by one
//    character, so the reading always comes to an end.
//  - Attribute(key) finds the key as a plain substring (the first occurrence wins, so "uid" can
//    match inside "uid_type"), skips the key and two more characters ("=" and the opening quote)
//    and returns the text up to the next "'". An absent key drops the element's first
//    key length + 1 characters instead and reads on the same way.
//
// Copying the rest of the text after every element would be quadratic in the size
// of the response; a list of ten thousand servers would stall the login. Here the text is kept
// once and elements are offsets into it; each scan starts where the previous one stopped, and
// the position of the next "/>" is remembered between elements, so loading is linear.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class DataElementList {
 public:
  // Replaces the list with the elements of `text` and puts the cursor on the first one. The
  // current element is cleared until the next call to Next().
  void Load(std::string text);

  // Makes the element under the cursor current and moves the cursor on. False when the text is
  // empty or every element has been visited.
  bool Next();

  // The value of `key` in the current element, by the rules above; empty when no element is
  // current.
  std::string Attribute(std::string_view key) const;

  std::size_t size() const { return elements_.size(); }
  std::string_view current() const { return ElementAt(current_); }

 private:
  struct Span {
    std::size_t offset;
    std::size_t length;
  };
  static constexpr std::size_t kNoElement = static_cast<std::size_t>(-1);

  std::string_view ElementAt(std::size_t index) const;

  std::string text_;
  std::vector<Span> elements_;
  std::size_t cursor_ = 0;
  std::size_t current_ = kNoElement;
};

// The value of `key` in `element` by the reader's rules (exposed for the record readers' tests).
std::string_view DataElementAttribute(std::string_view element, std::string_view key);

}  // namespace qrv
