// The network chart's settings sheets: "선택 사항" over one working copy of
// its settings, "자료 형식" with the print form and the label templates,
// and the templates printed on paper.
#include <cstring>

#include "kelvo/form_print_page.h"
#include "kelvo/network_pages.h"
#include "kelvo/network_view.h"
#include "kelvo/opt_chart_page.h"
#include "kelvo/opt_term_page.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "xJorDbm2.h"

namespace kelvo {

namespace {

constexpr int kPaperTemplatesEnd = 744;

}  // namespace

SideCaptions CNetView::sideCaptions() const {
  SideCaptions captions = defaultSideCaptions();
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return captions;
  OptionFileRef* opt = &doc->db().opt;
  SideCaptions stored{};
  if (xOption(opt, XOPT_SIZE, kOptSideCaptions, nullptr, 0) >= int32_t(sizeof stored) &&
      xOption(opt, XOPT_READ, kOptSideCaptions, &stored, sizeof stored) == 1) {
    captions = stored;
    captions.left[sizeof captions.left - 1] = 0;
    captions.right[sizeof captions.right - 1] = 0;
    captions.font.lfFaceName[LF_FACESIZE - 1] = 0;
  }
  return captions;
}

void CNetView::setSideCaptions(const SideCaptions& captions) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  captions_ = captions;
  xOption(&doc->db().opt, XOPT_WRITE, kOptSideCaptions, &captions_, sizeof captions_);
  viewport()->update();
}

bool CNetView::optionsCommand() {
  NetOptions options{storedSettings(), block_, sideCaptions()};
  BandOptions band(this);
  CPropertySheet sheet(loadString(kStrOptionsSheet), this);
  sheet.setPagesShareCopy(true);
  sheet.addPage(new COptTermPage(&options.scale));
  sheet.addPage(new COptNetPage(&options));
  sheet.addPage(new CNetEtcPage(&options));
  sheet.addPage(band.makePage(&options.scale));
  if (sheet.exec() != QDialog::Accepted) return false;
  setSideCaptions(options.captions);
  block_ = options.block;
  block_.nodeWidth = std::max<int16_t>(1, block_.nodeWidth);
  band.commit();
  commitScaleOptions(options.scale);  // measures the labels in the new font
  return true;
}

void CNetView::addDataFormatPages(CPropertySheet* sheet, PrintRecord* record) {
  CPlanDoc* doc = document();
  const TableHandle& t = doc->db().act.tb;
  const FieldDesc* fields = t.fields;
  const int count = t.fieldCount;
  const LabelTemplateHooks paper{
      [fields, count](const uint8_t* tmpl) { return labelTemplateText(fields, count, tmpl); },
      [fields, count, sheet](QWidget* parent, uint8_t* tmpl) {
        return editLabelTemplate(parent, sheet->windowTitle(), fields, count, tmpl);
      }};
  sheet->addPage(new CFormPrintPage(*record, printFormParts(), record, &paper));
  formBlock_ = block_;
  sheet->addPage(new CFormNetPage(fields, count, &formBlock_));
  QObject::connect(sheet, &QDialog::accepted, this, [this] {
    std::memcpy(block_.upperLabel, formBlock_.upperLabel, sizeof block_.upperLabel);
    std::memcpy(block_.lowerLabel, formBlock_.lowerLabel, sizeof block_.lowerLabel);
    measureLabels(&block_);
    storeSettings();
    viewport()->update();
  });
}

void CNetView::completePrintRecord(PrintRecord* record, int storedBytes) const {
  if (storedBytes >= kPaperTemplatesEnd) return;
  std::memcpy(record->upperLabel, block_.upperLabel, sizeof record->upperLabel);
  std::memcpy(record->lowerLabel, block_.lowerLabel, sizeof record->lowerLabel);
}

bool CNetView::preparePrinting(const PrintFormat& format, PrintLayout* layout) {
  const PrintRecord record = readPrintRecord();
  paper_ = block_;
  std::memcpy(paper_.upperLabel, record.upperLabel, sizeof paper_.upperLabel);
  std::memcpy(paper_.lowerLabel, record.lowerLabel, sizeof paper_.lowerLabel);
  measureLabels(&paper_);
  return CTermView::preparePrinting(format, layout);
}

}  // namespace kelvo
