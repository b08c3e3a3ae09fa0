// The network chart's pages: "도표" and "기간표시 바깥" of its "선택 사항"
// sheet, which edit one working copy of the chart's settings together, and
// "항목 형식" of its "자료 형식" sheet, which edits the label templates.
#ifndef KELVO_NETWORK_PAGES_H_
#define KELVO_NETWORK_PAGES_H_

#include <vector>

#include "kelvo/network_label.h"
#include "kelvo/network_model.h"
#include "kelvo/property_sheet.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;
struct FieldDesc;

namespace kelvo {

// What the "선택 사항" pages edit together: the time-scale settings, the
// chart's block and the side-area captions.
struct NetOptions {
  TimeScaleSettings scale;
  NetBlock block;
  SideCaptions captions;
};

// A page over the sheet's working copy (the sheet shares it between its
// pages): load() fills the controls from the copy, apply() writes them back.
class NetOptionsPage : public CPropertyPage {
  Q_OBJECT
 public:
  NetOptionsPage(const QString& title, NetOptions* options);
  bool validate() override;
  void apply() override { store(); }

 protected:
  virtual void store() = 0;
  QSpinBox* number(const char* name, int minimum);

  NetOptions* options_;
};

// "도표": colours and line widths, path sizes, display checks, body font.
class COptNetPage : public NetOptionsPage {
  Q_OBJECT
 public:
  explicit COptNetPage(NetOptions* options);

 protected:
  void load() override;
  void store() override;

 private:
  QSpinBox* normalWidth_;
  QSpinBox* criticalWidth_;
  QSpinBox* linkWidth_;
  QSpinBox* pathWidth_;
  QSpinBox* pathHeight_;
  QSpinBox* pathCount_;
  QSpinBox* nodeWidth_;
  std::vector<std::pair<QCheckBox*, uint16_t>> flags_;
};

// "기간표시 바깥": caption and width of the areas left and right of the
// time scale, and the captions' font.
class CNetEtcPage : public NetOptionsPage {
  Q_OBJECT
 public:
  explicit CNetEtcPage(NetOptions* options);

 protected:
  void load() override;
  void store() override;

 private:
  QLineEdit* caption_[2];
  QSpinBox* width_[2];
};

// The item list of one label template, with "수정", "첨가", "삽입" and
// "삭제": an item is a field ("항목 선택 :") written on one line or, for a
// text field, word-wrapped over "줄 수 :" lines, a literal text ("문자 :")
// or a line break ("줄 바꿈").
class LabelTemplateEditor : public QWidget {
  Q_OBJECT
 public:
  // fields: the activity table's fields, count of them.
  LabelTemplateEditor(const FieldDesc* fields, int count, QWidget* parent = nullptr);

  void setTemplate(const uint8_t* tmpl);
  // Writes the items as a 40-byte template (they always fit: edits that
  // would not are refused).
  void writeTemplate(uint8_t* tmpl) const;
  const std::vector<LabelItem>& items() const { return items_; }

  // The item the controls describe; false (after a beep, focus on the
  // text) for an empty literal. A field takes the lines shown when it is
  // a text field, one line otherwise.
  bool currentItem(LabelItem* item);
  // The edits: replace the selected item, add after the last, insert
  // before the selected one, delete the selected one. Each beeps and
  // changes nothing when there is no selection or the template would not
  // fit in 40 bytes with its end mark.
  bool modify();
  bool append();
  bool insert();
  bool remove();

 private:
  bool tryItems(std::vector<LabelItem> items, int select);
  void showItems(int select);
  void showSelected();
  // The lines box applies to text fields only.
  void enableLines();

  const FieldDesc* fields_;
  int count_;
  std::vector<LabelItem> items_;
  QListWidget* list_;
  QRadioButton* fieldChoice_;
  QRadioButton* textChoice_;
  QRadioButton* breakChoice_;
  QComboBox* field_;
  QSpinBox* lines_;
  QLineEdit* text_;
};

// "항목 형식": the chart's upper and lower label templates ("연결선 위쪽",
// "연결선 아래쪽"). apply() writes both into *block.
class CFormNetPage : public CPropertyPage {
  Q_OBJECT
 public:
  CFormNetPage(const FieldDesc* fields, int count, NetBlock* block);
  void apply() override;
  LabelTemplateEditor* editor(int which) const { return editors_[which]; }

 private:
  NetBlock* block_;
  LabelTemplateEditor* editors_[2];
};

// An item of a template as the editor lists it: "[field name]", a quoted
// literal, or "(줄 바꿈)".
QString labelItemText(const FieldDesc* fields, int count, const LabelItem& item);
// A template as one line: its items separated by blanks.
QString labelTemplateText(const FieldDesc* fields, int count, const uint8_t* tmpl);

// A dialog with one template's editor; true on OK with tmpl rewritten.
bool editLabelTemplate(QWidget* parent, const QString& caption, const FieldDesc* fields, int count,
                       uint8_t* tmpl);

}  // namespace kelvo

#endif  // KELVO_NETWORK_PAGES_H_
