#include "editor_problem.h"

#include <QRegularExpression>
#include <iterator>

#include "kelvo/strings.h"

namespace kelvo {
namespace {

struct KnownReason {
  const char* english;
  const char* korean;
};

// The reasons the sheet converter gives for a row or a workbook.
constexpr KnownReason kReasons[] = {
    {"text not in CP949", "완성형 한글로 쓸 수 없는 글자가 있습니다."},
    {"not a date", "날짜가 아닙니다."},
    {"no code", "코드가 없습니다."},
    {"code repeated", "코드가 중복되었습니다."},
    {"code length matches no level", "코드 길이가 분류 단계와 맞지 않습니다."},
    {"the sheet does not show the key columns", "시트에 코드 열이 없습니다."},
    {"this window's data cannot be read back", "이 창의 자료는 읽어 올 수 없습니다."},
};

QString reasonText(const QString& why, int message) {
  // "<reason> in column C": the cell's column goes in front.
  static const QRegularExpression inColumn(QStringLiteral("^(.*) in column ([A-Z]+)$"));
  const QRegularExpressionMatch c = inColumn.match(why);
  if (c.hasMatch())
    return QStringLiteral("%1열: %2").arg(c.captured(2), reasonText(c.captured(1), message));
  for (const KnownReason& r : kReasons)
    if (why == QLatin1String(r.english)) return QString::fromUtf8(r.korean);
  static const QRegularExpression storeMessage(QStringLiteral("^message (\\d+)$"));
  const QRegularExpressionMatch m = storeMessage.match(why);
  if (m.hasMatch()) {
    const QString text = loadString(m.captured(1).toInt());
    if (!text.isEmpty()) return text;
  }
  static const QRegularExpression otherSheet(QStringLiteral("^the first sheet is not \"(.*)\"$"));
  const QRegularExpressionMatch s = otherSheet.match(why);
  if (s.hasMatch())
    return QStringLiteral("첫 번째 시트가 \"%1\" 시트가 아닙니다.").arg(s.captured(1));
  return message ? loadString(message) : QString();
}

}  // namespace

QString editorProblemText(const char* problem, int message) {
  const QString text = QString::fromUtf8(problem ? problem : "");
  static const QRegularExpression row(QStringLiteral("^row (\\d+): (.*)$"));
  const QRegularExpressionMatch m = row.match(text);
  if (!m.hasMatch()) return reasonText(text, message);
  const QString why = reasonText(m.captured(2), message);
  return QStringLiteral("%1행: %2").arg(m.captured(1), why);
}

}  // namespace kelvo
