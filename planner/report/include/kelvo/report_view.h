// The user report of document window 10: a banded report over the records of
// the open summary data. On screen it is designed as one page with the band
// captions in a strip at its left, its items placed, moved and resized with
// the drawing tools; on paper it prints page by page, with an optional cover.
#ifndef KELVO_REPORT_VIEW_H_
#define KELVO_REPORT_VIEW_H_

#include <QString>
#include <functional>
#include <vector>

#include "kelvo/base_view.h"
#include "kelvo/report_items.h"
#include "kelvo/report_pages.h"
#include "kelvo/report_settings.h"

namespace kelvo {

inline constexpr int32_t kBandStrip = 232;       // band captions left of the page
inline constexpr int32_t kReportExtent = 12000;  // scroll range in both directions
inline constexpr int kReportSectionHint = 17;    // extra: 0 body, 1 cover

// The "항목 :" choices from here on are the summary record's fields, and
// from kReportRelatedChoice on the fields of the band's related record.
inline constexpr int kReportFieldChoice = 100;
inline constexpr int kReportRelatedChoice = 10000;

// What the "문자 형식" dialog edits.
struct ReportTextInput {
  QString text;       // "문자 :"
  QString formula;    // "수식 :"
  QString condition;  // "조건식 :"
  // "항목 :": a system item (0..12), kReportFieldChoice + a summary field,
  // kReportRelatedChoice + a field of the related record, or -1.
  int item = -1;
  // The fields of the related record of the item's band (none for the
  // header, footer and common bands), listed after the summary's.
  QStringList relatedFields;
  int decimals = 0;  // "숫자일 때 소수점 미만 자릿수 :"
  LOGFONT font{};
  int16_t alignment = textalign::kLeft;
};
// Paper and margins of "보고서 확대/축소" (0.1 mm).
struct ReportPaper {
  int32_t width = 0, height = 0;
  int32_t top = 0, bottom = 0, left = 0, right = 0;
};
// The report's dialogs; unset members use the program's own. Tests answer here.
struct ReportDialogs {
  std::function<bool(QWidget* parent, const QStringList& fields, ReportTextInput* input)> text;
  std::function<bool(QWidget* parent, const ReportPaper& now, ReportPaper* next)> paper;
  std::function<bool(QWidget* parent, ReportSettings* settings)> options;
};
void setReportDialogs(ReportDialogs dialogs);

class CRepView : public CBaseView {
  Q_OBJECT
 public:
  // Reads record 121 over the defaults of the default printer, and the
  // record set of the open summary data through the filter of item 153.
  explicit CRepView(CPlanDoc* doc, bool cover = false, QWidget* parent = nullptr);

  const ReportSettings& settings() const { return settings_; }
  void setSettings(const ReportSettings& settings);
  bool showsCover() const { return cover_; }
  void showCover(bool cover);

  // The summary records the report prints, in record-set order.
  const std::vector<uint32_t>& records() const { return records_; }
  // The pages those records make under the settings.
  std::vector<ReportPage> pages() const;
  // Reopens the record set (hint 10).
  void reopenRecords();

  // The logical y of a band's top in the design view (0 at the paper's top).
  int32_t designBandTop(int band) const;
  // The logical point of a report position and back (design view).
  void itemPoint(int32_t x, int16_t band, int16_t y, int32_t* px, int32_t* py) const;

  // "보고서 확대/축소": rescales the items, bands and fonts from the printable
  // area of the current paper to that of next. False when nothing changed.
  bool resizeReport(const ReportPaper& next);

  // CBaseView.
  void drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                   bool printing) override;
  void initialUpdate() override;
  void onUpdate(int hint, qintptr extra) override;
  void storeSettings() override;
  int32_t extentWidth() const override { return kReportExtent; }
  int32_t extentHeight() const override { return kReportExtent; }
  ViewPosition pointToPosition(int32_t x, int32_t y) const override;
  void positionToPoint(const ViewPosition& position, int32_t* x, int32_t* y) const override;
  bool preparePrinting(const PrintFormat& format, PrintLayout* layout) override;
  void printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                 const PrintFormat& format) override;
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;
  int objectLayerInUse() const override { return cover_ ? 1 : 0; }
  bool editTextObject(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int64_t replace) override;

 protected:
  bool paintsObjectLayers() const override { return true; }

 private:
  class Printer;
  ObjectTable table() const;
  QStringList summaryFieldNames() const;
  // The fields of the record related to the rows of band n: the work-type
  // or facility code, the activity, and for a resource summary the
  // resource or crew detail. Empty for the other bands.
  QStringList relatedFieldNames(int band) const;
  bool resourceSummary() const;
  void keepSettingsUndo();

  ReportSettings settings_;
  bool cover_ = false;
  std::vector<uint32_t> records_;
  std::vector<ReportPage> printPages_;  // while printing
};

// The text a design view shows for an item: the fixed text, "=" and the
// formula, "<name>" of a system item or "[name]" of a field of the summary
// record or of the related record.
QString designText(const ReportItem& item, const QStringList& summaryFields,
                   const QStringList& relatedFields = {});
// The caption of band n ("머리글", "본문-공통", ...).
QString bandCaption(int n);
// The caption of system item n ("오늘 날짜", "페이지 번호", ...).
QString systemItemName(int n);

}  // namespace kelvo

#endif  // KELVO_REPORT_VIEW_H_
