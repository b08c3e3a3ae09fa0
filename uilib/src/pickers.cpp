// The folder and colour pickers.
#include <string.h>

#include <QColorDialog>
#include <QFileDialog>

#include "xJorLib.h"
#include "xjorlib/qt_bridge.h"

extern "C" int32_t xGetFolderFormDlg(QWidget* owner, char* path, const char* initialFolder,
                                     const char* title) {
  if (!path) return 0;
  QString start = QString::fromUtf8(initialFolder ? initialFolder : "");
  if (start.size() > 1 && (start.endsWith(u'/') || start.endsWith(u'\\'))) start.chop(1);
  QFileDialog dialog(owner, QString::fromUtf8(title ? title : ""), start);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return 0;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return 0;
  QByteArray folder = chosen.first().toUtf8();
  if (!folder.endsWith('/') && !folder.endsWith('\\')) folder += '/';
  // Folder settings live in fixed buffers: a path that does not fit is
  // refused, never cut.
  if (folder.size() >= XJOR_MAX_PATH) return 0;
  memcpy(path, folder.constData(), folder.size() + 1);
  return 1;
}

extern "C" int32_t xColorDlg(QWidget* owner, COLORREF* color) {
  if (!color) return 0;
  QColorDialog dialog(xjor::colorFromRef(*color), owner);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return 0;
  *color = xjor::colorToRef(dialog.selectedColor());
  if (owner) owner->update();
  return 1;
}
