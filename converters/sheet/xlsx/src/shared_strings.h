// The workbook's shared strings, packed so that what they hold is what they
// cost: texts back to back in blocks of 1 MB, and where each one lies.
#ifndef KVXLSX_SHARED_STRINGS_H_
#define KVXLSX_SHARED_STRINGS_H_

#include <stdint.h>

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kvxlsx {

class SharedStrings {
 public:
  // Adds text as the next string.
  void add(std::string_view text);
  size_t size() const { return where_.size(); }
  // String i (below size()).
  std::string at(size_t i) const;
  // Memory held: the blocks and the table of places.
  size_t bytes() const { return held_ + where_.size() * sizeof(Place); }

 private:
  struct Place {
    uint32_t block, offset, length;
  };
  std::vector<std::string> blocks_;  // each reserved once, never moved
  std::deque<Place> where_;          // grows without copying
  size_t held_ = 0;                  // capacity of the blocks
};

}  // namespace kvxlsx

#endif  // KVXLSX_SHARED_STRINGS_H_
