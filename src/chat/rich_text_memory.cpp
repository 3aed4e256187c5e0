// The rich text kept in memory, for windows without a display.

#include <algorithm>
#include <filesystem>

#include "chat/rich_text.h"
#include "platform/codepage.h"

namespace qrv {

std::string MemoryRichText::Text() const {
  std::string text;
  for (const Cell& cell : cells_) text += cell.character;
  return text;
}

std::vector<PictureRecord> MemoryRichText::Pictures() const {
  std::vector<PictureRecord> records;
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    if (!cells_[i].picture.empty()) records.push_back(PictureRecord{static_cast<int>(i) + 1, cells_[i].code});
  }
  return records;
}

int MemoryRichText::Clamp(int position) const { return std::clamp(position, 0, CharCount()); }

void MemoryRichText::InsertText(std::string_view text, const RichTextFormat* format) {
  DeleteSelection();
  std::vector<Cell> added;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = CharLengthAt(text, pos);
    added.push_back(
        Cell{std::string(text.substr(pos, length)), format != nullptr ? *format : default_format_, "", ""});
    pos += length;
  }
  cells_.insert(cells_.begin() + caret_, added.begin(), added.end());
  caret_ = anchor_ = caret_ + static_cast<int>(added.size());
}

bool MemoryRichText::InsertPicture(const std::string& path, const std::string& code) {
  // Without a display nothing is drawn; the file must still be there, as a picture that cannot
  // be loaded is not inserted.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  DeleteSelection();
  cells_.insert(cells_.begin() + caret_, Cell{std::string(kPicturePlaceholder), default_format_, path, code});
  caret_ = anchor_ = caret_ + 1;
  return true;
}

void MemoryRichText::SetCaret(int position) { caret_ = anchor_ = Clamp(position); }

std::pair<int, int> MemoryRichText::Selection() const {
  return {std::min(caret_, anchor_), std::max(caret_, anchor_)};
}

void MemoryRichText::Select(int start, int end) {
  anchor_ = Clamp(start);
  caret_ = Clamp(end < 0 ? CharCount() : end);
}

void MemoryRichText::DeleteSelection() {
  const auto [start, end] = Selection();
  cells_.erase(cells_.begin() + start, cells_.begin() + end);
  caret_ = anchor_ = start;
}

std::vector<MemoryRichText::Run> MemoryRichText::Runs() const {
  std::vector<Run> runs;
  for (const Cell& cell : cells_) {
    const bool joins = !runs.empty() && cell.picture.empty() && runs.back().picture.empty() &&
                       runs.back().format == cell.format;
    if (joins) {
      runs.back().text += cell.character;
    } else {
      runs.push_back(Run{cell.character, cell.format, cell.picture, cell.code});
    }
  }
  return runs;
}

}  // namespace qrv
