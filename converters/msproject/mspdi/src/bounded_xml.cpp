// The bounded reader: the input goes to QXmlStreamReader in chunks, and the
// reader never holds more than one token's worth of unparsed bytes.
#include "bounded_xml.h"

#include <algorithm>

namespace kvmsp {

namespace {

constexpr size_t kChunk = 1 << 16;

const std::string& emptyText() {
  static const std::string empty;
  return empty;
}

// Appends piece to text as UTF-8, keeping at most cap bytes and never
// splitting a character.
void appendCapped(std::string& text, QStringView piece, size_t cap) {
  if (text.size() >= cap) return;
  text += piece.toUtf8().toStdString();
  if (text.size() <= cap) return;
  size_t cut = cap;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
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

bool BoundedReader::refill() {
  if (ended_) return false;
  char chunk[kChunk];
  size_t n = 0;
  if (file_) {
    n = fread(chunk, 1, sizeof chunk, file_);
    if (n == 0 && ferror(file_)) {
      fail("cannot be read");
      ended_ = true;
      return false;
    }
  } else {
    n = std::min(kChunk, bufferSize_ - fed_);
    std::copy(buffer_ + fed_, buffer_ + fed_ + n, chunk);
  }
  if (n == 0) {
    ended_ = true;
    return false;
  }
  fed_ += n;
  unparsed_ += n;
  if (fed_ > limits_.fileBytes) {
    fail("too large (more than " + std::to_string(limits_.fileBytes >> 20) + " MB)");
    ended_ = true;
    return false;
  }
  // The XML reader holds a token until it ends: a text or a run of blanks
  // without end would make it hold the whole file.
  if (unparsed_ > limits_.tokenBytes) {
    fail("damaged (more than " + std::to_string(limits_.tokenBytes >> 20) +
         " MB in one piece of XML)");
    ended_ = true;
    return false;
  }
  xml_.addData(QByteArray(chunk, static_cast<qsizetype>(n)));
  return true;
}

QXmlStreamReader::TokenType BoundedReader::next() {
  if (!error_.empty()) return QXmlStreamReader::Invalid;
  for (;;) {
    const QXmlStreamReader::TokenType t = xml_.readNext();
    if (t == QXmlStreamReader::DTD) {
      // No document type, hence no entity declarations and no expansion.
      fail("damaged (a DOCTYPE or entity declaration is not accepted)");
      return QXmlStreamReader::Invalid;
    }
    if (t != QXmlStreamReader::Invalid) {
      unparsed_ = 0;
      if (t == QXmlStreamReader::StartElement && ++depth_ > limits_.depth) {
        fail("damaged (elements nested deeper than " + std::to_string(limits_.depth) + ")");
        return QXmlStreamReader::Invalid;
      }
      if (t == QXmlStreamReader::EndElement) --depth_;
      return t;
    }
    if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError && refill()) continue;
    fail(xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError
             ? std::string("damaged (ends early)")
             : "damaged (line " + std::to_string(xml_.lineNumber()) + ": " +
                   xml_.errorString().toStdString() + ")");
    return QXmlStreamReader::Invalid;
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
      case QXmlStreamReader::StartElement: {
        if (++elements_ > limits_.recordElements) {
          fail("damaged (more than " + std::to_string(limits_.recordElements) +
               " elements in one record)");
          return false;
        }
        node.children.push_back(Node{xml_.name().toString().toStdString(), {}, {}});
        if (!readElement(node.children.back())) return false;
        break;
      }
      case QXmlStreamReader::EndElement:
        return true;
      case QXmlStreamReader::Characters:
        appendCapped(node.text, xml_.text(), limits_.textBytes);
        break;
      case QXmlStreamReader::Invalid:
      case QXmlStreamReader::EndDocument:
        fail("damaged (ends early)");
        return false;
      default:
        break;
    }
  }
}

bool BoundedReader::read(const std::string& root, const std::vector<std::string>& collections,
                         const RecordFn& fn) {
  if (!error_.empty()) return false;
  QXmlStreamReader::TokenType t;
  do {
    t = next();
    if (t == QXmlStreamReader::Invalid || t == QXmlStreamReader::EndDocument) {
      fail("no XML document");
      return false;
    }
  } while (t != QXmlStreamReader::StartElement);
  if (xml_.name() != QString::fromStdString(root)) {
    fail("not a " + root + " file (the root element is " + xml_.name().toString().toStdString() +
         ")");
    return false;
  }
  for (;;) {
    t = next();
    if (t == QXmlStreamReader::EndElement) break;
    if (t == QXmlStreamReader::Invalid || t == QXmlStreamReader::EndDocument) {
      fail("damaged (ends early)");
      return false;
    }
    if (t != QXmlStreamReader::StartElement) continue;
    const std::string name = xml_.name().toString().toStdString();
    if (std::find(collections.begin(), collections.end(), name) == collections.end()) {
      Node record{name, {}, {}};
      if (!countRecord() || !readElement(record)) return false;
      if (!fn({}, record)) return false;
      continue;
    }
    for (;;) {
      t = next();
      if (t == QXmlStreamReader::EndElement) break;
      if (t == QXmlStreamReader::Invalid || t == QXmlStreamReader::EndDocument) {
        fail("damaged (ends early)");
        return false;
      }
      if (t != QXmlStreamReader::StartElement) continue;
      Node record{xml_.name().toString().toStdString(), {}, {}};
      if (!countRecord() || !readElement(record)) return false;
      if (!fn(name, record)) return false;
    }
  }
  // Only blanks, comments and processing instructions may follow the root.
  do {
    t = next();
  } while (t != QXmlStreamReader::EndDocument && t != QXmlStreamReader::Invalid);
  return error_.empty();
}

}  // namespace kvmsp
