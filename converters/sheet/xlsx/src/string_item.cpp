#include "string_item.h"

#include "xstring.h"

namespace kvxlsx {

namespace {

std::string unescaped(CappedText& text) {
  std::string t = text.take();
  unescapeXstring(t);
  return t;
}

}  // namespace

std::string stringItem(MemberStream& s, size_t cap) {
  CappedText text(cap);
  int depth = 1, inText = 0, inPhonetic = 0;
  while (depth > 0) {
    switch (s.next()) {
      case QXmlStreamReader::StartElement:
        ++depth;
        if (s.xml().name() == u"rPh") ++inPhonetic;
        if (s.xml().name() == u"t") ++inText;
        break;
      case QXmlStreamReader::EndElement:
        --depth;
        if (s.xml().name() == u"rPh" && inPhonetic) --inPhonetic;
        if (s.xml().name() == u"t" && inText) --inText;
        break;
      case QXmlStreamReader::Characters:
        if (inText && !inPhonetic) text.append(s.xml().text());
        break;
      case QXmlStreamReader::Invalid:
      case QXmlStreamReader::EndDocument:
        return unescaped(text);
      default:
        break;
    }
  }
  return unescaped(text);
}

}  // namespace kvxlsx
