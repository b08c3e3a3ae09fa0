#include "string_item.h"

namespace kvxlsx {

std::string stringItem(MemberStream& s, size_t cap) {
  std::string text;
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
        if (inText && !inPhonetic && text.size() < cap) {
          appendUtf8(text, s.xml().text());
          if (text.size() > cap) text.resize(cutUtf8(text, cap));
        }
        break;
      case QXmlStreamReader::Invalid:
      case QXmlStreamReader::EndDocument:
        return text;
      default:
        break;
    }
  }
  return text;
}

}  // namespace kvxlsx
