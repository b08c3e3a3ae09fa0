#include "shared_strings.h"

namespace kvxlsx {

namespace {
constexpr size_t kBlock = size_t{1} << 20;
}  // namespace

void SharedStrings::add(std::string_view text) {
  if (blocks_.empty() || blocks_.back().size() + text.size() > blocks_.back().capacity()) {
    // A text longer than a block (a raised cell limit) gets one of its own.
    const size_t capacity = text.size() > kBlock ? text.size() : kBlock;
    blocks_.emplace_back().reserve(capacity);
    held_ += blocks_.back().capacity();
  }
  std::string& block = blocks_.back();
  where_.push_back({static_cast<uint32_t>(blocks_.size() - 1), static_cast<uint32_t>(block.size()),
                    static_cast<uint32_t>(text.size())});
  block.append(text);
}

std::string SharedStrings::at(size_t i) const {
  const Place& p = where_[i];
  return blocks_[p.block].substr(p.offset, p.length);
}

}  // namespace kvxlsx
