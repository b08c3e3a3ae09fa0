// A zip member read in chunks into QXmlStreamReader, with the unpacked
// size capped so that a small file cannot unpack into gigabytes.
#include "xlsx_parts.h"

namespace kvxlsx {

namespace {
constexpr size_t kChunk = 1 << 16;
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
  if (read_ > limits_.memberBytes) {
    error_ = name_ + ": too large";
    ended_ = true;
    return false;
  }
  xml_.addData(QByteArray(chunk, static_cast<qsizetype>(n)));
  return true;
}

QXmlStreamReader::TokenType MemberStream::next() {
  for (;;) {
    const QXmlStreamReader::TokenType t = xml_.readNext();
    if (t != QXmlStreamReader::Invalid) return t;
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
