// The bounded reader: input is read in chunks, and what is kept of it never
// exceeds one token (a tag, a text, a comment) of at most the token limit.
#include "bounded_xml.h"

#include <algorithm>

#include "kvutf8.h"

namespace kvmsp {

namespace {

constexpr size_t kChunk = 1 << 16;

const std::string& emptyText() {
  static const std::string empty;
  return empty;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A character XML allows in a document.
bool allowedCharacter(uint32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

// Cuts text to at most cap bytes without splitting a UTF-8 character.
void cutUtf8(std::string& text, size_t cap) {
  if (text.size() <= cap) return;
  size_t cut = cap;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
}

// The name without its namespace prefix.
std::string localName(std::string_view qualified) {
  const size_t colon = qualified.find(':');
  return std::string(colon == std::string_view::npos ? qualified : qualified.substr(colon + 1));
}

}  // namespace

const Node* Node::child(std::string_view n) const {
  for (const Node& c : children)
    if (c.name == n) return &c;
  return nullptr;
}

const std::string& Node::field(std::string_view n) const {
  const Node* c = child(n);
  return c ? c->text : emptyText();
}

BoundedReader::~BoundedReader() {
  if (file_) fclose(file_);
}

bool BoundedReader::openFile(const std::string& path) {
  file_ = fopen(path.c_str(), "rb");
  if (!file_) {
    error_ = "cannot be opened";
    return false;
  }
  return true;
}

void BoundedReader::openBuffer(const char* data, size_t size) {
  buffer_ = data;
  bufferSize_ = size;
}

void BoundedReader::fail(const std::string& why) {
  if (error_.empty()) error_ = why;
}

bool BoundedReader::damaged(const std::string& why) {
  fail("damaged (line " + std::to_string(line_) + ": " + why + ")");
  return false;
}

bool BoundedReader::ensure(size_t n) {
  while (in_.size() - pos_ < n) {
    if (ended_ || !error_.empty()) return false;
    in_.erase(0, pos_);
    pos_ = 0;
    // Only one token is ever kept: a text or a run of blanks without end
    // would otherwise make the reader hold the whole file.
    if (in_.size() > limits_.tokenBytes) {
      fail("damaged (more than " + std::to_string(limits_.tokenBytes >> 20) +
           " MB in one piece of XML)");
      return false;
    }
    char chunk[kChunk];
    size_t got;
    if (file_) {
      got = fread(chunk, 1, sizeof chunk, file_);
      if (got == 0 && ferror(file_)) {
        fail("cannot be read");
        return false;
      }
    } else {
      got = std::min(kChunk, bufferSize_ - fed_);
      std::copy(buffer_ + fed_, buffer_ + fed_ + got, chunk);
    }
    if (got == 0) {
      ended_ = true;
      return false;
    }
    fed_ += got;
    if (fed_ > limits_.fileBytes) {
      fail("too large (more than " + std::to_string(limits_.fileBytes >> 20) + " MB)");
      return false;
    }
    in_.append(chunk, got);
  }
  return true;
}

size_t BoundedReader::find(std::string_view needle, size_t from) {
  for (;;) {
    const size_t at = in_.find(needle, pos_ + from);
    if (at != std::string::npos) return at - pos_;
    const size_t have = in_.size() - pos_;
    from = have >= needle.size() ? have - needle.size() + 1 : 0;
    if (!ensure(have + 1)) return std::string::npos;
  }
}

void BoundedReader::consume(size_t n) {
  const auto from = in_.begin() + static_cast<ptrdiff_t>(pos_);
  line_ += static_cast<size_t>(std::count(from, from + static_cast<ptrdiff_t>(n), '\n'));
  pos_ += n;
}

bool BoundedReader::text(size_t end) {
  text_.clear();
  const char* p = in_.data() + pos_;
  for (size_t i = 0; i < end; ++i) {
    const unsigned char c = static_cast<unsigned char>(p[i]);
    if (c == '&') {
      const size_t semi = std::string_view(p + i, end - i).find(';');
      if (semi == std::string_view::npos || semi > 12)
        return damaged("an '&' that ends no reference");
      const std::string_view ref(p + i + 1, semi - 1);
      uint32_t cp = 0;
      if (ref == "lt")
        cp = '<';
      else if (ref == "gt")
        cp = '>';
      else if (ref == "amp")
        cp = '&';
      else if (ref == "quot")
        cp = '"';
      else if (ref == "apos")
        cp = '\'';
      else if (ref.size() > 1 && ref[0] == '#') {
        const bool hex = ref[1] == 'x';
        const std::string_view digits = ref.substr(hex ? 2 : 1);
        if (digits.empty()) return damaged("an empty character reference");
        for (char d : digits) {
          const int v = d >= '0' && d <= '9'          ? d - '0'
                        : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                        : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                      : -1;
          if (v < 0 || cp > 0x10FFFF) return damaged("a bad character reference");
          cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(v);
        }
        if (!allowedCharacter(cp)) return damaged("a reference to a character XML does not allow");
      } else {
        return damaged("an undeclared entity &" + std::string(ref) + ";");
      }
      if (text_.size() <= limits_.textBytes) kvconv::appendUtf8(text_, cp);
      i += semi;
      continue;
    }
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return damaged("a control character");
    if (c != '\r' && text_.size() <= limits_.textBytes) text_ += static_cast<char>(c);
  }
  cutUtf8(text_, limits_.textBytes);
  consume(end);
  return true;
}

// A token that starts with '<'. Comments and processing instructions give
// kText with nothing in it.
BoundedReader::Token BoundedReader::markup() {
  if (!ensure(2)) return damaged("ends early"), kInvalid;
  const char second = in_[pos_ + 1];
  if (second == '?') {
    const size_t end = find("?>", 2);
    if (end == std::string::npos) return damaged("ends early"), kInvalid;
    // Only UTF-8 is read.
    const std::string_view pi(in_.data() + pos_, end);
    const size_t enc = pi.find("encoding");
    if (pi.substr(0, 6) == "<?xml " && enc != std::string_view::npos) {
      std::string value(pi.substr(enc + 8));
      value.erase(
          std::remove_if(value.begin(), value.end(),
                         [](char c) { return c == '=' || c == '"' || c == '\'' || isBlank(c); }),
          value.end());
      value = value.substr(0, value.find_first_of(" ?"));
      std::transform(value.begin(), value.end(), value.begin(),
                     [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
      if (value.rfind("utf-8", 0) != 0 && value.rfind("utf8", 0) != 0) {
        fail("not read: only UTF-8 files are (this one says " + value + ")");
        return kInvalid;
      }
    }
    consume(end + 2);
    text_.clear();
    return kText;
  }
  if (second == '!') {
    if (!ensure(4)) return damaged("ends early"), kInvalid;
    if (in_.compare(pos_, 4, "<!--") == 0) {
      const size_t end = find("-->", 4);
      if (end == std::string::npos) return damaged("ends early"), kInvalid;
      consume(end + 3);
      text_.clear();
      return kText;
    }
    if (ensure(9) && in_.compare(pos_, 9, "<![CDATA[") == 0) {
      if (open_.empty()) return damaged("text outside the root element"), kInvalid;
      const size_t end = find("]]>", 9);
      if (end == std::string::npos) return damaged("ends early"), kInvalid;
      text_.assign(in_, pos_ + 9, std::min(end - 9, limits_.textBytes + 4));
      cutUtf8(text_, limits_.textBytes);
      consume(end + 3);
      return kText;
    }
    // No document type: nothing is ever declared, nothing expanded.
    fail("damaged (a DOCTYPE or entity declaration is not accepted)");
    return kInvalid;
  }
  if (second == '/') {
    const size_t end = find(">", 2);
    if (end == std::string::npos) return damaged("ends early"), kInvalid;
    std::string_view name(in_.data() + pos_ + 2, end - 2);
    while (!name.empty() && isBlank(name.back())) name.remove_suffix(1);
    if (open_.empty() || name != open_.back())
      return damaged("</" + std::string(name.substr(0, 64)) + "> closes no open element"), kInvalid;
    name_ = localName(name);
    open_.pop_back();
    rootClosed_ = open_.empty();
    consume(end + 1);
    return kEnd;
  }
  // A start tag: its name, then attributes (passed over, quotes respected)
  // up to '>' or "/>".
  if (rootClosed_) return damaged("a second root element"), kInvalid;
  size_t i = 1;
  for (;; ++i) {
    if (!ensure(i + 1)) return damaged("ends early"), kInvalid;
    const char c = in_[pos_ + i];
    if (isBlank(c) || c == '/' || c == '>') break;
    if (c == '<' || c == '&' || c == '"' || c == '\'' || c == '=')
      return damaged("a bad element name"), kInvalid;
  }
  if (i == 1) return damaged("an element without a name"), kInvalid;
  const std::string qualified = in_.substr(pos_ + 1, i - 1);
  char quote = 0;
  for (;; ++i) {
    if (!ensure(i + 2)) return damaged("ends early"), kInvalid;
    const char c = in_[pos_ + i];
    if (quote) {
      if (c == quote)
        quote = 0;
      else if (c == '<')
        return damaged("a '<' in an attribute"), kInvalid;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>' || (c == '/' && in_[pos_ + i + 1] == '>')) {
      break;
    } else if (c == '<') {
      return damaged("a tag that does not end"), kInvalid;
    }
  }
  selfClosed_ = in_[pos_ + i] == '/';
  if (open_.size() + 1 > static_cast<size_t>(limits_.depth)) {
    fail("damaged (elements nested deeper than " + std::to_string(limits_.depth) + ")");
    return kInvalid;
  }
  open_.push_back(qualified);
  name_ = localName(qualified);
  consume(i + (selfClosed_ ? 2 : 1));
  return kStart;
}

BoundedReader::Token BoundedReader::next() {
  if (selfClosed_) {
    selfClosed_ = false;
    open_.pop_back();
    rootClosed_ = open_.empty();
    return kEnd;
  }
  for (;;) {
    if (!error_.empty()) return kInvalid;
    if (!ensure(1)) {
      if (!error_.empty()) return kInvalid;
      if (!open_.empty() || !rootClosed_) return damaged("ends early"), kInvalid;
      return kDone;
    }
    if (in_[pos_] == '<') {
      const Token t = markup();
      if (t == kText && text_.empty()) continue;  // a comment or instruction
      return t;
    }
    size_t end = find("<", 0);
    if (end == std::string::npos) {
      if (!error_.empty()) return kInvalid;
      end = in_.size() - pos_;
    }
    if (!text(end)) return kInvalid;
    const bool blank = std::all_of(text_.begin(), text_.end(), isBlank);
    if (open_.empty()) {
      // Before and after the root only blanks (and a byte order mark).
      if (!blank && !(line_ == 1 && fed_ <= kChunk && text_ == "\xEF\xBB\xBF"))
        return damaged("text outside the root element"), kInvalid;
      continue;
    }
    if (blank) continue;  // blanks between elements carry nothing
    return kText;
  }
}

bool BoundedReader::countRecord() {
  elements_ = 0;
  if (++records_ <= limits_.records) return true;
  fail("too many records (more than " + std::to_string(limits_.records) + ")");
  return false;
}

// Reads the current element's content up to its end into node.
bool BoundedReader::readElement(Node& node) {
  for (;;) {
    switch (next()) {
      case kStart:
        if (++elements_ > limits_.recordElements) {
          fail("damaged (more than " + std::to_string(limits_.recordElements) +
               " elements in one record)");
          return false;
        }
        node.children.push_back(Node{name_, {}, {}});
        if (!readElement(node.children.back())) return false;
        break;
      case kEnd:
        return true;
      case kText:
        if (node.text.size() < limits_.textBytes) {
          node.text += text_;
          cutUtf8(node.text, limits_.textBytes);
        }
        break;
      default:
        fail("damaged (ends early)");
        return false;
    }
  }
}

bool BoundedReader::read(const std::string& root, const std::vector<std::string>& collections,
                         const RecordFn& fn) {
  if (!error_.empty()) return false;
  // A UTF-16 file says so in its first bytes.
  if (ensure(2) &&
      ((in_[0] == '\xFF' && in_[1] == '\xFE') || (in_[0] == '\xFE' && in_[1] == '\xFF'))) {
    fail("not read: only UTF-8 files are (this one is UTF-16)");
    return false;
  }
  Token t = next();
  if (t == kInvalid) return false;
  if (t != kStart) {
    fail("no XML document");
    return false;
  }
  if (name_ != root) {
    fail("not a " + root + " file (the root element is " + name_.substr(0, 64) + ")");
    return false;
  }
  for (;;) {
    t = next();
    if (t == kEnd) break;
    if (t == kInvalid || t == kDone) return false;
    if (t != kStart) continue;
    const std::string name = name_;
    if (std::find(collections.begin(), collections.end(), name) == collections.end()) {
      Node record{name, {}, {}};
      if (!countRecord() || !readElement(record)) return false;
      if (!fn({}, record)) return true;
      continue;
    }
    for (;;) {
      t = next();
      if (t == kEnd) break;
      if (t == kInvalid || t == kDone) return false;
      if (t != kStart) continue;
      Node record{name_, {}, {}};
      if (!countRecord() || !readElement(record)) return false;
      if (!fn(name, record)) return true;
    }
  }
  // Only blanks, comments and processing instructions may follow the root.
  while ((t = next()) != kDone)
    if (t == kInvalid) return false;
  return true;
}

}  // namespace kvmsp
