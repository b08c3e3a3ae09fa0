// The network chart of document window 4 ("PERT 도표"): every activity on
// its numbered path at the x of its dates, as nodes joined by the activity
// arrow or as bars, and every relation as an orthogonal line along its
// routing row. Paths and rows are stored in the records; the chart assigns
// them ("PERT 경로 최적화"), inserts and deletes empty paths, and moves a
// selection of activities and relations between paths by dragging.
#ifndef KELVO_NETWORK_VIEW_H_
#define KELVO_NETWORK_VIEW_H_

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

#include "kelvo/network_dialogs.h"
#include "kelvo/network_link_index.h"
#include "kelvo/network_model.h"
#include "kelvo/network_paths.h"
#include "kelvo/term_view.h"

// Records of the project store (xQdDb100.h).
struct ActRecord;
struct RelRecord;

namespace kelvo {

class TextLayouts;

// The record dialogs the chart opens (the program installs "작업 정보" and
// "선후행 관계" with registerNetworkWindow). Without them a double-click opens
// nothing, a connection enters a finish-to-start relation without lag and
// a refusal only beeps.
struct NetDialogs {
  // Edit the activity or relation in record slot; true when stored.
  std::function<bool(QWidget* parent, CPlanDoc& doc, int slot)> editActivity;
  std::function<bool(QWidget* parent, CPlanDoc& doc, int slot)> editRelation;
  // Offers a new relation from predecessor to successor (CP949 codes)
  // with routing row `row`; true when it was stored.
  std::function<bool(QWidget* parent, CPlanDoc& doc, const QByteArray& predecessor,
                     const QByteArray& successor, int16_t row)>
      connect;
  // Shows a message (after the chart's beep).
  std::function<void(QWidget* parent, int message)> showMessage;
  // The option bar's dialogs; false on Cancel.
  std::function<bool(QWidget* parent, PathOptions* options)> pathOptions;
  std::function<bool(QWidget* parent, PathEditRequest* request)> pathEdit;
  // The finder of command 57636 or 40113: false on Cancel, else the record
  // found (-1 none) in *slot, a relation when *relation.
  std::function<bool(QWidget* parent, CPlanDoc& doc, int command, int32_t* slot, bool* relation)>
      find;
};
void setNetDialogs(NetDialogs dialogs);

struct NetOptions;
class CPropertyPage;

class CNetView : public CTermView {
  Q_OBJECT
 public:
  explicit CNetView(CPlanDoc* doc, QWidget* parent = nullptr);
  ~CNetView() override;

  const NetBlock& block() const { return block_; }
  void setBlock(const NetBlock& block);

  // The side-area captions of option record 2 (defaults when none).
  SideCaptions sideCaptions() const;
  void setSideCaptions(const SideCaptions& captions);
  // "선택 사항" (40098): the sheet over one working copy of the settings,
  // block and captions; on OK they are applied, stored and kept as one undo
  // step of the settings. True on OK.
  bool optionsCommand();

  // "PERT 경로 최적화": assigns paths and routing rows, stores them, raises
  // the row count to the highest path and, with bar labels, switches to
  // bar mode without upper and lower labels. Returns 0 or the message of
  // a record the store refused.
  int assignPaths(const PathOptions& options);
  // "빈 경로 삽입/삭제". Returns 0, 20040 when the deleted range holds data
  // or -1 when an insertion would pass the last path (both after a beep,
  // nothing changed). withObjects ("도형 연동") moves the chart's drawing
  // objects below the position with the paths.
  int editPaths(int32_t position, int32_t count, bool insert, bool withObjects = false);

  // The selected activities and relations (record slots).
  const std::vector<int32_t>& selectedActivities() const { return selActs_; }
  const std::vector<int32_t>& selectedRelations() const { return selRels_; }
  void clearSelection();
  // Selects the activity in slot alone and scrolls to show it.
  void showActivity(int32_t slot);
  // Moves the selection by delta paths (clamped to 1..32767) as one undo
  // step. Returns the paths moved.
  int32_t moveSelection(int32_t delta);

  // The activity or relation at a logical point: activity slot first, then
  // relation slot; -1 for none.
  int32_t activityAt(int32_t x, int32_t y) const;
  int32_t relationAt(int32_t x, int32_t y) const;

  // The legend samples with their captions, left to right, in box.
  void drawLegendInto(QPainter& painter, const UnitMapper& mapper, const LogicalRect& box,
                      const LOGFONT& font, COLORREF colour);

  // --- CBaseView -----------------------------------------------------------
  void initialUpdate() override;
  void onUpdate(int hint, qintptr extra) override;
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;
  void dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers) override;
  void dataToolDrag(int32_t x, int32_t y) override;
  void dataToolRelease(int32_t x, int32_t y) override;
  void dataToolCancel() override;
  void dataDoubleClick(int32_t x, int32_t y) override;
  void drawRubberBand(QPainter& painter, const UnitMapper& mapper) override;
  void drawSelectionHandles(QPainter& painter, const UnitMapper& mapper) override;
  void drawLegend(QPainter& painter, const UnitMapper& paper, const LogicalRect& box,
                  const PrintFormat& format) override;
  int printFormatSize() const override { return kNetPrintFormatSize; }
  // "자료 형식": "인쇄 형식" with the templates printed on paper, and "항목
  // 형식", whose templates the chart takes on OK.
  void addDataFormatPages(CPropertySheet* sheet, PrintRecord* record) override;
  bool preparePrinting(const PrintFormat& format, PrintLayout* layout) override;

 protected:
  void drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                int32_t firstRow, int32_t lastRow, bool printing) override;
  int32_t bodyRowCount() const override;
  void* ownBlock() override { return &block_; }
  int ownBlockSize() const override { return sizeof(NetBlock); }
  TimeScaleSettings defaultSettings() const override;
  // The path numbers under "경로", printed when "경로 인쇄" asks.
  bool showsRowNumbers() const override { return true; }
  QString rowNumberTitle() const override;
  // A record without the paper templates takes the chart's own.
  void completePrintRecord(PrintRecord* record, int storedBytes) const override;

 private:
  enum class Drag { None, Band, Move, Connect };
  struct Frame {
    int32_t left, right, centre;
  };
  // The selection frame of the activity in slot: x of its start to x of
  // its anchor day on its path's centre line; false when not drawn.
  bool frameOf(int32_t slot, Frame* frame) const;
  bool readActivity(int32_t slot, ActRecord* a) const;
  bool readRelation(int32_t slot, RelRecord* r) const;
  NodeEdge edge() const;
  int32_t textHeight() const;
  // Measures block's label box from its templates (hint 6, initial update,
  // print start).
  void measureLabels(NetBlock* block) const;
  // Positions in the relation anchor index of the relations that may show
  // on body between the two paths, ascending; the index behind it is built
  // again after any change of the records.
  const std::vector<uint32_t>& linksNear(const LogicalRect& body, int32_t firstPath,
                                         int32_t lastPath);
  // The side-area captions, centred in the visible part of their areas.
  void drawSideCaptions(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body);
  void selectInBand(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  void connect(int32_t fromSlot, int32_t toSlot);
  void storeAfterEdit();
  void findCommand(int command);
  // Moves the anchors of the chart's drawing objects on rows >= firstRow
  // by delta rows.
  void moveObjectRows(int32_t firstRow, int32_t delta);

  NetBlock block_;
  NetBlock paper_;         // what prints: block_ with the paper templates
  NetBlock formBlock_;     // the templates the "항목 형식" page edits
  SideCaptions captions_;  // option record 2, read at every initial update
  std::vector<int32_t> selActs_, selRels_;
  Drag drag_ = Drag::None;
  int32_t pressX_ = 0, pressY_ = 0, dragX_ = 0, dragY_ = 0;
  int32_t pressSlot_ = -1;
  bool firstUpdate_ = true;
  PathOptions pathOptions_;
  PathEditRequest pathEdit_;
  mutable std::vector<char> recordBuf_;  // one record read at a time
  std::unique_ptr<TextLayouts> texts_;   // the body's texts, shaped once
  LinkIndex links_;                      // relations by paths and days
  bool linksStale_ = true;               // set by every update of the records
  const void* linksData_ = nullptr;      // the anchor index links_ was built from
  uint32_t linksCount_ = 0;
  std::vector<uint32_t> nearLinks_;  // the last linksNear
};

}  // namespace kelvo

#endif  // KELVO_NETWORK_VIEW_H_
