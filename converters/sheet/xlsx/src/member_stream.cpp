// A zip member read in chunks into QXmlStreamReader, with the unpacked
// size capped so that a small file cannot unpack into gigabytes.
#include "xlsx_parts.h"

namespace kvxlsx {

namespace {
constexpr size_t kChunk = 1 << 16;
// Workbook parts nest a dozen elements deep at most.
constexpr int kMaxDepth = 100;
}  // namespace

void appendUtf8(std::string& out, QStringView text) {
  // Cell values are mostly ASCII digits: those go over byte by byte.
  qsizetype i = 0;
  for (; i < text.size() && text[i].unicode() < 0x80; ++i)
    out += static_cast<char>(text[i].unicode());
  if (i < text.size()) out += text.mid(i).toUtf8().toStdString();
}

void CappedText::append(QStringView piece) {
  if (full_) return;
  appendUtf8(text_, piece);
  if (text_.size() > cap_) {
    text_.resize(cutUtf8(text_, cap_));
    full_ = true;
  }
}

MemberStream::~MemberStream() {
  if (file_) zip_fclose(file_);
}

bool MemberStream::open(const std::string& name) {
  name_ = name;
  file_ = zip_fopen(zip_, name.c_str(), 0);
  if (!file_) {
    error_ = name + ": missing";
    return false;
  }
  return refill();
}

bool MemberStream::refill() {
  if (ended_) return false;
  char chunk[kChunk];
  const zip_int64_t n = zip_fread(file_, chunk, sizeof chunk);
  if (n < 0) {
    error_ = name_ + ": damaged";
    ended_ = true;
    return false;
  }
  if (n == 0) {
    ended_ = true;
    return false;
  }
  read_ += static_cast<size_t>(n);
  unparsed_ += static_cast<size_t>(n);
  if (read_ > limits_.memberBytes) {
    error_ = name_ + ": too large";
    ended_ = true;
    return false;
  }
  // The XML reader holds a token's text until the token ends: a run of
  // blanks or text that never ends would make it hold the whole member.
  if (unparsed_ > limits_.tokenBytes) {
    error_ = name_ + ": damaged (more than " + std::to_string(limits_.tokenBytes >> 20) +
             " MB in one piece of XML)";
    ended_ = true;
    return false;
  }
  xml_.addData(QByteArray(chunk, static_cast<qsizetype>(n)));
  return true;
}

QXmlStreamReader::TokenType MemberStream::next() {
  if (!error_.empty()) return QXmlStreamReader::Invalid;
  for (;;) {
    const QXmlStreamReader::TokenType t = xml_.readNext();
    if (t != QXmlStreamReader::Invalid) {
      unparsed_ = 0;
      // The XML reader keeps every open element: nesting without end would
      // grow without bound.
      if (t == QXmlStreamReader::StartElement && ++depth_ > kMaxDepth) {
        error_ =
            name_ + ": damaged (elements nested deeper than " + std::to_string(kMaxDepth) + ")";
        return QXmlStreamReader::Invalid;
      }
      if (t == QXmlStreamReader::EndElement) --depth_;
      return t;
    }
    if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError && refill()) continue;
    if (error_.empty())
      error_ = name_ + ": " +
               (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError
                    ? std::string("ends early")
                    : xml_.errorString().toStdString());
    return t;
  }
}

std::string MemberStream::elementText() {
  CappedText text(limits_.cellBytes);
  for (int depth = 1; depth > 0;) {
    switch (next()) {
      case QXmlStreamReader::StartElement:
        ++depth;
        break;
      case QXmlStreamReader::EndElement:
        --depth;
        break;
      case QXmlStreamReader::Characters:
        text.append(xml_.text());
        break;
      case QXmlStreamReader::Invalid:
      case QXmlStreamReader::EndDocument:
        return text.take();
      default:
        break;
    }
  }
  return text.take();
}

}  // namespace kvxlsx
