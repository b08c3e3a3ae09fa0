// The period value sheet (view kind 17, document window 7 "기간별 수치시트"):
// a grid of two columns, the date and the value, over the entries of one
// value sheet, with the new-entry row last. Rows are typed in, generated
// by period ("기준일 자동 생성") or read from summary data ("집계자료에서 읽기").
#ifndef KELVO_VALUE_VIEW_H_
#define KELVO_VALUE_VIEW_H_

#include "kelvo/editor_source.h"
#include "kelvo/grid_view.h"
#include "kelvo/value_sheet.h"

namespace kelvo {

// The value sheet the program has open (0..49); the view opens it.
int& currentValueSheet();

class CValueView : public CGridView, public CEditorSource {
  Q_OBJECT
 public:
  explicit CValueView(CPlanDoc* doc, QWidget* parent = nullptr);

  const ValueSheet& sheet() const { return sheet_; }
  // Stores the open sheet and opens sheet n (0..49; others are refused).
  bool openSheet(int n);
  // "기준일 자동 생성": 0 when the days were added, else the message
  // (kBadDate) with *field = 0 for the start, 1 for the finish.
  int generateDays(uint16_t start, uint16_t finish, DayStep step, int* field = nullptr);
  // The dialog of "기준일 자동 생성" (defaults: the project's start and
  // finish, monthly); true when days were added.
  bool generateDialog();
  // "집계자료에서 읽기" with link: 0, or 20038 when the summary row is not
  // there or has no series (the sheet is then left as it was).
  int readFromSummary(const ValueSheetLink& link);
  // "집계자료와 연결된 모든 수치시트 읽기": every sheet with a header and a
  // link is read again from its summary (one that cannot be opened is
  // skipped) and stored; the open summary stays open. Returns how many.
  int readAllLinked();
  // The dialog of "집계자료에서 읽기" over the sheet's link (or the open
  // summary's total row): OK reads, "집계자료와 연결 끊기" deletes the link.
  void readFromSummaryDialog();
  // Find (57636): makes the row of day the only selected one.
  bool findDay(uint16_t day);
  // The sheet's title, as the option bar's edit 10100 shows it; a typed
  // title (at most 31 bytes of CP949) becomes the sheet's and marks the
  // document modified.
  QString title() const;
  void setTitle(const QString& title);

 signals:
  // Another sheet was opened (or the same one read again): its title.
  void sheetOpened(const QString& title);

 public:
  void initialUpdate() override;
  void storeSettings() override;
  // The two columns: period and value.
  int formatFieldCount() const override { return 2; }
  void onUpdate(int hint, qintptr extra) override;
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;

  bool moveToRow(int row) override;
  bool moveToColumn(int column) override;
  const FieldDesc* fieldDesc(int field) const override;
  QString rowLabel(int row) override;
  QString cellText(int field) override;

  // --- CEditorSource: the entries in the sheet's order with its decimals
  // and its two columns; a read puts values into the entries.
  bool editorEnabled(bool read) const override;
  bool editorRequest(bool read, EditorRequest* request) override;
  void editorDataRead() override;

 protected:
  void loadEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) override;
  bool storeEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) override;

 private:
  void loadRow();
  void refreshRows();
  // 40022 and hint 11: stores the sheet, then reads it again.
  void refreshSheet();
  QString textOf(int field, uint16_t day, double value) const;

  ValueSheet sheet_;
  // What the last external-editor call was handed.
  XKvValueTable editorTable_{};
  std::vector<XKvValueEntry> editorEntries_;
  FieldDesc fields_[2]{};
  bool formatRead_ = false;
  // The current row as typed: its day and value, and whether it changed.
  uint16_t day_ = 0;
  double value_ = 0;
  bool rowChanged_ = false;
  int labelled_ = -1;
};

}  // namespace kelvo

#endif  // KELVO_VALUE_VIEW_H_
