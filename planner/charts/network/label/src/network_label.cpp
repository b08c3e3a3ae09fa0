#include "kelvo/network_label.h"

#include <algorithm>

namespace kelvo {
namespace {

bool isLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

// Length of the longest prefix of text within max bytes that does not end
// inside a double-byte character.
size_t cutAt(const std::string& text, size_t from, size_t max) {
  size_t n = 0;
  while (from + n < text.size()) {
    const size_t step = isLeadByte(static_cast<unsigned char>(text[from + n])) ? 2 : 1;
    if (n + step > max) break;
    n += step;
  }
  return std::min(n, text.size() - from);
}

std::string padded(const LabelValue& v) {
  if (int(v.text.size()) >= v.width) return v.text;
  const std::string fill(size_t(v.width) - v.text.size(), ' ');
  return v.number ? fill + v.text : v.text + fill;
}

}  // namespace

std::vector<LabelItem> parseLabelTemplate(const uint8_t* bytes, size_t size, int fieldCount) {
  // The marks keep their meaning whatever the table: a field byte is below
  // them, as buildLabelTemplate writes it.
  fieldCount = std::min<int>(fieldCount, labelbyte::kLiteral);
  std::vector<LabelItem> items;
  for (size_t i = 0; i < size && bytes[i] != labelbyte::kEnd;) {
    const uint8_t b = bytes[i++];
    if (b < fieldCount) {
      LabelItem item;
      item.field = b;
      while (i < size && bytes[i] == labelbyte::kWrap) ++item.extraLines, ++i;
      items.push_back(item);
    } else if (b == labelbyte::kLiteral) {
      LabelItem item;
      item.kind = LabelItem::Literal;
      while (i < size && bytes[i] != 0) item.text.push_back(char(bytes[i++]));
      ++i;  // the NUL
      items.push_back(item);
    } else if (b == labelbyte::kNewLine) {
      LabelItem item;
      item.kind = LabelItem::NewLine;
      items.push_back(item);
    }
  }
  return items;
}

size_t labelItemBytes(const LabelItem& item) {
  switch (item.kind) {
    case LabelItem::Field:
      return 1 + size_t(std::max(0, item.extraLines));
    case LabelItem::Literal:
      return item.text.size() + 2;
    case LabelItem::NewLine:
      break;
  }
  return 1;
}

bool buildLabelTemplate(const std::vector<LabelItem>& items, uint8_t* out, size_t size) {
  std::vector<uint8_t> bytes;
  for (const LabelItem& item : items) {
    if (item.kind == LabelItem::Field) {
      if (item.field < 0 || item.field >= labelbyte::kLiteral) return false;
      bytes.push_back(uint8_t(item.field));
      bytes.insert(bytes.end(), size_t(std::max(0, item.extraLines)), labelbyte::kWrap);
    } else if (item.kind == LabelItem::Literal) {
      bytes.push_back(labelbyte::kLiteral);
      // The text runs to its NUL, so it cannot hold one.
      for (char c : item.text)
        if (c) bytes.push_back(uint8_t(c));
      bytes.push_back(0);
    } else {
      bytes.push_back(labelbyte::kNewLine);
    }
  }
  bytes.push_back(labelbyte::kEnd);
  if (bytes.size() > size) return false;
  bytes.resize(size, labelbyte::kEnd);
  std::copy(bytes.begin(), bytes.end(), out);
  return true;
}

int labelLineChars(const std::vector<LabelItem>& items, const std::function<int(int)>& width) {
  int longest = 0, line = 0;
  bool empty = true;
  for (const LabelItem& item : items) {
    if (item.kind == LabelItem::NewLine) {
      longest = std::max(longest, line);
      line = 0;
      empty = true;
      continue;
    }
    int w =
        item.kind == LabelItem::Literal ? int(item.text.size()) : std::max(0, width(item.field));
    if (item.kind == LabelItem::Field) w = (w + item.extraLines) / (item.extraLines + 1);
    line += (empty ? 0 : 1) + w;
    empty = false;
  }
  return std::max(longest, line);
}

int labelLineCount(const std::vector<LabelItem>& items) {
  int lines = 0, tallest = 1;
  bool any = false;
  for (const LabelItem& item : items) {
    if (item.kind == LabelItem::NewLine) {
      lines += tallest;
      tallest = 1;
      any = false;
      continue;
    }
    any = true;
    if (item.kind == LabelItem::Field) tallest = std::max(tallest, item.extraLines + 1);
  }
  return lines + (any ? tallest : 0);
}

std::vector<std::string> labelLines(const std::vector<LabelItem>& items,
                                    const std::function<LabelValue(int)>& value, int lineChars) {
  std::vector<std::string> out;
  std::vector<std::string> current(1);  // the lines of the line being built
  size_t total = 0;
  const auto flush = [&] {
    for (std::string& l : current) out.push_back(std::move(l));
    current.assign(1, std::string());
  };
  const auto append = [&](size_t line, const std::string& text) {
    if (current.size() <= line) current.resize(line + 1);
    std::string& l = current[line];
    const std::string piece = (l.empty() ? "" : " ") + text;
    const size_t room = kMaxLabelBytes > total ? kMaxLabelBytes - total : 0;
    const size_t n = cutAt(piece, 0, room);
    l += piece.substr(0, n);
    total += n;
  };
  for (const LabelItem& item : items) {
    if (item.kind == LabelItem::NewLine) {
      flush();
    } else if (item.kind == LabelItem::Literal) {
      append(0, item.text);
    } else if (item.extraLines == 0) {
      append(0, padded(value(item.field)));
    } else {
      const std::string text = value(item.field).text;
      const size_t per = size_t(std::max(1, lineChars));
      size_t from = 0;
      for (int line = 0; line <= item.extraLines && from < text.size(); ++line) {
        // A line narrower than one character still takes a whole one.
        size_t n = cutAt(text, from, per);
        if (n == 0)
          n = std::min<size_t>(isLeadByte(static_cast<unsigned char>(text[from])) ? 2 : 1,
                               text.size() - from);
        append(size_t(line), text.substr(from, n));
        from += n;
      }
    }
  }
  flush();
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

}  // namespace kelvo
