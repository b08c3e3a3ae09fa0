// "인쇄 형식": the page of the "자료 형식" sheet that edits a view kind's
// print format record (margins, header and footer with their texts, fonts
// and colours, the frame colour, the legend box and the print flags).
#ifndef KELVO_FORM_PRINT_PAGE_H_
#define KELVO_FORM_PRINT_PAGE_H_

#include <QString>
#include <functional>

#include "kelvo/print_format.h"
#include "kelvo/property_sheet.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace kelvo {

// How the page shows and edits a label template of the network chart
// (40 bytes): its items as one line of text, and the editor that changes
// it in place (false on Cancel).
struct LabelTemplateHooks {
  std::function<QString(const uint8_t* tmpl)> describe;
  std::function<bool(QWidget* parent, uint8_t* tmpl)> edit;
};

class CFormPrintPage : public CPropertyPage {
  Q_OBJECT
 public:
  // The page over a copy of record; apply() writes the edited copy to
  // *target. parts chooses the optional controls; with paperLabels the
  // page also offers the templates printed on paper ("연결선 위쪽:",
  // "연결선 아래쪽:").
  CFormPrintPage(const PrintRecord& record, PrintFormParts parts, PrintRecord* target,
                 const LabelTemplateHooks* paperLabels = nullptr, QWidget* parent = nullptr);

  bool validate() override;
  void apply() override;

 private:
  QSpinBox* number(const char* name, int value, int minimum);
  QLineEdit* text(const char* name, const char* field);
  QCheckBox* flag(const QString& caption, const char* name, uint16_t bit);
  void showTemplates();

  PrintRecord record_;
  PrintRecord* target_;
  LabelTemplateHooks labels_;
  QSpinBox* margins_[4] = {};
  QSpinBox* headerHeight_ = nullptr;
  QSpinBox* footerHeight_ = nullptr;
  QLineEdit* headerText_[2] = {};
  QLineEdit* footerText_[2] = {};
  QCheckBox* legendShown_ = nullptr;
  QSpinBox* legendWidth_ = nullptr;
  std::vector<std::pair<QCheckBox*, uint16_t>> flags_;
  QLabel* templateText_[2] = {};
};

}  // namespace kelvo

#endif  // KELVO_FORM_PRINT_PAGE_H_
