// Format files of a view: the command, saving the view's layout and loading
// a file into it.
#include <cstring>

#include "format_file_dialog.h"
#include "kelvo/base_view.h"
#include "kelvo/drawing_objects.h"
#include "kelvo/format_store.h"
#include "kelvo/messages.h"
#include "kelvo/object_layer.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/profile.h"
#include "kelvo/shell_settings.h"

namespace kelvo {
namespace {

std::string formFolder() {
  if (viewState().formFolder) return viewState().formFolder();
  const QString stored = CProfile().getString(QStringLiteral("Folders"), QStringLiteral("Form"),
                                              defaultFolder(kFolderForm));
  return stored.toUtf8().toStdString();
}

// Replaces the records of kind's two layers by back and front.
bool replaceKindObjects(MemTable* table, ViewKind kind, const std::vector<uint8_t>& back,
                        const std::vector<uint8_t>& front) {
  ObjectTable objects(table);
  std::vector<uint8_t> bytes = objects.snapshot();
  const size_t first = size_t{objects.layer(layerCode(kind, false)).first} * kObjectRecordSize;
  const size_t end = size_t{objects.layer(layerCode(kind, true)).end} * kObjectRecordSize;
  bytes.erase(bytes.begin() + long(first), bytes.begin() + long(end));
  std::vector<uint8_t> fresh = back;
  fresh.insert(fresh.end(), front.begin(), front.end());
  bytes.insert(bytes.begin() + long(first), fresh.begin(), fresh.end());
  return objects.restore(bytes);
}

}  // namespace

std::vector<uint8_t> CBaseView::formatFileBytes(const std::string& title, bool withObjects) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return {};
  const ViewKind kind = formatKindOf(viewKind());
  doc->updateAllViews(kindBit(kind) | kindBit(viewKind()), hint::kStoreSettings);
  OptionFileRef* opt = &doc->db().opt;
  // A print format never set up is the default the view prints with.
  const int print = kindItem(KindRecord::PrintFormat, kind);
  if (kind == viewKind() && xOption(opt, XOPT_SIZE, print, nullptr, 0) <= 0)
    writePrintFormat(readPrintFormat());
  FormatFile file = collectFormatLayout(opt, kind, title);
  if (withObjects) file.objects = collectFormatObjects(doc->db().objects, kind);
  return encodeFormatFile(file);
}

bool CBaseView::loadFormatFile(const std::string& path, bool withObjects) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return false;
  const ViewKind kind = formatKindOf(viewKind());
  FormatFile file;
  const FormatError error = readFormatFile(path, kind, &file);
  if (error != FormatError::None) {
    qWarning("%s: %s", path.c_str(), formatErrorText(error));
    showMessageText(this, QString::fromUtf8(formatErrorText(error)));
    return false;
  }
  // What the views of the kind hold goes to the project first, so that the
  // dates kept are the ones shown.
  doc->updateAllViews(kindBit(kind) | kindBit(viewKind()), hint::kStoreSettings);
  bool ok = applyFormatLayout(&doc->db().opt, file, withObjects, formatFieldCount());
  if (withObjects) {
    std::vector<uint8_t> back, front;
    decodeFormatObjects(file.objects, kind, &back, &front);
    // The objects come in as one step the user can undo.
    objects().keepUndo();
    objects().clearSelection();
    ok = replaceKindObjects(&doc->db().objects, kind, back, front) && ok;
  }
  doc->updateAllViews(kindBit(kind) | kindBit(viewKind()), hint::kSettingsRewritten);
  doc->setModified();
  return ok;
}

bool CBaseView::formatFilesCommand() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return false;
  const ViewKind kind = formatKindOf(viewKind());
  CFormatFileDlg dialog(
      formFolder(), kind,
      [this](const std::string& title, bool objects) { return formatFileBytes(title, objects); },
      this);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedPath().empty()) return true;
  loadFormatFile(dialog.selectedPath(), dialog.includeObjects());
  return true;
}

}  // namespace kelvo
