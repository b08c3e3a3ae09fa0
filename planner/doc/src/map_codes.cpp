// Activity codes and names composed from the two classifications of the map.
#include <algorithm>
#include <map>

#include "kelvo/progress_stages.h"

namespace kelvo {

namespace {

// Length of s cut to at most width bytes without splitting a CP949 pair.
size_t cp949Cut(std::string_view s, size_t width) {
  size_t at = 0;
  while (at < s.size()) {
    const size_t step = static_cast<unsigned char>(s[at]) >= 0x81 && at + 1 < s.size() ? 2 : 1;
    if (at + step > width) break;
    at += step;
  }
  return at;
}

}  // namespace

std::string mapActivityTitle(std::span<const std::string> facilityLevelNames,
                             std::string_view workTypeName, size_t width) {
  std::string title;
  std::string_view previous;
  const auto append = [&](std::string_view name) {
    if (!title.empty()) title += ' ';
    title += name;
  };
  for (const std::string& name : facilityLevelNames) {
    if (name.empty() || name == previous) continue;
    append(name);
    previous = name;
  }
  if (!workTypeName.empty()) append(workTypeName);
  title.resize(cp949Cut(title, width));
  return title;
}

std::string mapActivityCode(std::string_view workTypeCode, std::string_view facilityCode,
                            size_t width) {
  std::string code(workTypeCode);
  code += facilityCode;
  code.resize(std::min(code.size(), width));
  return code;
}

std::vector<std::vector<size_t>> findCodeClashes(std::span<const std::string> newCodes) {
  std::map<std::string_view, std::vector<size_t>> byCode;
  for (size_t i = 0; i < newCodes.size(); ++i) byCode[newCodes[i]].push_back(i);
  std::vector<std::vector<size_t>> clashes;
  for (auto& [code, indexes] : byCode) {
    if (indexes.size() > 1) clashes.push_back(std::move(indexes));
  }
  std::sort(clashes.begin(), clashes.end());
  return clashes;
}

}  // namespace kelvo
