// The rows of one worksheet, read as a stream of cells.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "string_item.h"
#include "xlsx_parts.h"

namespace kvxlsx {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian day.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int* y, int* m, int* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (*m <= 2));
}

// Serial day 0 of the 1900 system, counted for days from 1900-03-01 on.
const int64_t kSerialBase = daysFromCivil(1899, 12, 30);

bool parseNumber(const std::string& text, double* v) {
  const char* b = text.data();
  const char* e = b + text.size();
  while (b < e && (*b == ' ' || *b == '\t' || *b == '\n' || *b == '\r')) ++b;
  while (e > b && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\n' || e[-1] == '\r')) --e;
  if (b < e && *b == '+') ++b;
  const auto r = std::from_chars(b, e, *v);
  return r.ec == std::errc() && r.ptr == e && std::isfinite(*v);
}

// "2024-03-04" or "2024-03-04T00:00:00" as a serial day.
bool parseIsoDate(const std::string& text, double* serial) {
  int y, m, d;
  if (sscanf(text.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3 || m < 1 || m > 12 || d < 1 || d > 31)
    return false;
  *serial = serialOfDay(y, m, d);
  return *serial > 0;
}

}  // namespace

double serialOfDay(int year, int month, int day) {
  return static_cast<double>(
      daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kSerialBase);
}

bool dayOfSerial(double serial, int* year, int* month, int* day) {
  if (!std::isfinite(serial) || serial < 61 || serial >= 2958466) return false;
  civilFromDays(static_cast<int64_t>(std::floor(serial)) + kSerialBase, year, month, day);
  return true;
}

std::string numberText(double v) {
  if (!std::isfinite(v)) return "0";
  char buf[400];
  if (std::fabs(v) < 1e15 && v == std::trunc(v)) {
    snprintf(buf, sizeof buf, "%.0f", v);
  } else {
    // Shortest text that reads back exactly, written without an exponent
    // so that the engine's number reading takes all of it.
    auto r = std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::fixed);
    *r.ptr = '\0';
  }
  return buf;
}

size_t cutUtf8(const std::string& text, size_t max) {
  if (text.size() <= max) return text.size();
  size_t n = max;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return n;
}

int columnOf(QStringView ref, uint32_t* row) {
  int col = 0;
  qsizetype i = 0;
  for (; i < ref.size() && i < 4; ++i) {
    const char16_t c = ref[i].unicode();
    if (c >= u'A' && c <= u'Z')
      col = col * 26 + (c - u'A' + 1);
    else if (c >= u'a' && c <= u'z')
      col = col * 26 + (c - u'a' + 1);
    else
      break;
  }
  uint64_t r = 0;
  for (qsizetype j = i; j < ref.size() && r <= 0xFFFFFFFFu; ++j) {
    const char16_t c = ref[j].unicode();
    if (c < u'0' || c > u'9') break;
    r = r * 10 + (c - u'0');
  }
  *row = r > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(r);
  return col == 0 || col > 16384 ? -1 : col - 1;
}

std::string cellName(int column, uint32_t row) {
  std::string letters;
  for (int c = column + 1; c > 0; c = (c - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(row);
}

bool Workbook::Impl::readRows(size_t sheet, int firstColumn, int columnCount, const RowFn& fn,
                              std::string& error) {
  MemberStream s(zip, limits);
  if (targets[sheet].empty() || !s.open(targets[sheet])) {
    error = "sheet \"" + names[sheet] + "\" has no data part";
    return false;
  }
  if (columnCount < 0) columnCount = 0;
  std::vector<Cell> cells(static_cast<size_t>(columnCount));
  uint32_t row = 0;
  int col = -1;
  bool inRow = false;
  for (auto t = s.next(); t != QXmlStreamReader::EndDocument; t = s.next()) {
    if (t == QXmlStreamReader::Invalid) {
      error = s.error();
      return false;
    }
    QXmlStreamReader& x = s.xml();
    if (t == QXmlStreamReader::EndElement && inRow && x.name() == u"row") {
      inRow = false;
      if (row > limits.rows) return true;
      if (!fn(row, cells)) return true;
      continue;
    }
    if (t != QXmlStreamReader::StartElement) continue;
    if (x.name() == u"row") {
      uint32_t r = 0;
      const QStringView number = x.attributes().value(QLatin1StringView("r"));
      for (QChar c : number) r = c.isDigit() && r < 100000000 ? r * 10 + c.digitValue() : r;
      row = r ? r : row + 1;
      col = -1;
      inRow = true;
      for (Cell& c : cells) {
        c.kind = Cell::Empty;
        c.text.clear();
        c.number = 0;
      }
      continue;
    }
    if (!inRow || x.name() != u"c") continue;
    const QXmlStreamAttributes a = x.attributes();
    uint32_t refRow = 0;
    const QStringView ref = a.value(QLatin1StringView("r"));
    const int at = ref.isEmpty() ? col + 1 : columnOf(ref, &refRow);
    if (at >= 0) col = at;
    const QStringView type = a.value(QLatin1StringView("t"));
    bool styledDate = false;
    if (a.hasAttribute(QLatin1StringView("s")))
      styledDate = dateStyles.count(a.value(QLatin1StringView("s")).toInt()) != 0;

    std::string value, inlineText;
    bool hasValue = false, hasInline = false;
    for (int depth = 1; depth > 0;) {
      const auto ct = s.next();
      if (ct == QXmlStreamReader::Invalid) {
        error = s.error();
        return false;
      }
      if (ct == QXmlStreamReader::EndElement) {
        --depth;
      } else if (ct == QXmlStreamReader::StartElement) {
        if (depth == 1 && x.name() == u"v") {
          value = s.elementText();
          hasValue = true;
        } else if (depth == 1 && x.name() == u"is") {
          inlineText = stringItem(s, limits.cellBytes);
          hasInline = true;
        } else {
          ++depth;
        }
      }
    }
    // A cell that names a shared string the workbook lacks is damage, not
    // an empty cell: its text is lost.
    double index = -1;
    if (type == u"s" && hasValue &&
        !(parseNumber(value, &index) && index >= 0 && index < static_cast<double>(shared.size()) &&
          index == std::floor(index))) {
      error = "sheet \"" + names[sheet] + "\", cell " + cellName(at, row) + ": shared string \"" +
              value + "\" is not in the workbook (" + std::to_string(shared.size()) + " strings)";
      return false;
    }
    if (at < firstColumn || at >= firstColumn + columnCount) continue;
    Cell& c = cells[static_cast<size_t>(at - firstColumn)];
    if (type == u"inlineStr") {
      if (hasInline) {
        c.kind = Cell::Text;
        c.text = std::move(inlineText);
      }
    } else if (!hasValue) {
      // A formatted cell without a value is empty.
    } else if (type == u"s") {
      c.kind = Cell::Text;
      c.text = shared.at(static_cast<size_t>(index));
    } else if (type == u"str") {
      c.kind = Cell::Text;
      c.text = std::move(value);
    } else if (type == u"b") {
      c.kind = Cell::Bool;
      c.number = value == "1" || value == "true" ? 1 : 0;
    } else if (type == u"e") {
      c.kind = Cell::Error;
      c.text = std::move(value);
    } else if (type == u"d") {
      if (parseIsoDate(value, &c.number)) c.kind = Cell::Date;
    } else if (parseNumber(value, &c.number)) {
      c.kind = styledDate ? Cell::Date : Cell::Number;
      if (styledDate && date1904) c.number += 1462;
    }
  }
  return true;
}

}  // namespace kvxlsx
