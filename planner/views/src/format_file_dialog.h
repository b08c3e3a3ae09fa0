// The format file dialogs: "형식파일 열기" (template 1032) lists the files
// of the Form folder made for a view kind and registers, modifies, deletes
// and picks one; "형식파일 등록" / "형식파일 수정" (template 1033) asks for
// the name and title of a file to write.
#ifndef KELVO_VIEWS_FORMAT_FILE_DIALOG_H_
#define KELVO_VIEWS_FORMAT_FILE_DIALOG_H_

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "kelvo/format_store.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace kelvo {

inline constexpr int kStrFormatOpen = 1032;      // "형식파일 열기"
inline constexpr int kStrFormatRegister = 1033;  // "형식파일 등록"
inline constexpr int kMsgCannotCreate = 20028;   // "파일을 만들 수 없습니다."
inline constexpr int kMsgOverwrite = 20043;  // "같은 이름의 파일이 있습니다. 겹쳐 쓸까요?"
inline constexpr int kMsgConfirmDelete = 20018;  // "삭제하겠습니까?"

// Template 1033. With `modifying` the name is fixed and "제목만 수정" is offered.
class CFormatRegisterDlg : public QDialog {
  Q_OBJECT
 public:
  CFormatRegisterDlg(ViewKind kind, bool modifying, const QString& name, const QString& title,
                     QWidget* parent = nullptr);
  QString name() const;
  // The title in CP949, at most 39 bytes.
  std::string title() const;
  bool titleOnly() const;

 private:
  QLineEdit* name_;
  QLineEdit* title_;
  QCheckBox* titleOnly_ = nullptr;
};

// Template 1032. `encode` gives the bytes of a new file of the active
// view's layout with a title (and its drawing objects when asked).
class CFormatFileDlg : public QDialog {
  Q_OBJECT
 public:
  using Encoder = std::function<std::vector<uint8_t>(const std::string& title, bool objects)>;
  CFormatFileDlg(const std::string& folder, ViewKind kind, Encoder encode,
                 QWidget* parent = nullptr);
  // The file OK chose (empty when none).
  std::string selectedPath() const;
  bool includeObjects() const;

  // "등록..." and "수정...": ask for name and title, then write. Public so
  // that a test can drive them with the register dialog's answers.
  void registerFile();
  void modifyFile();
  void deleteFile();

  // Writes a file for the given answers; shows 20028 or asks 20043 as the
  // program does. Returns true when a file was written.
  bool save(const QString& name, const std::string& title, bool modifying, bool titleOnly);

 private:
  void refresh(const QString& select = {});
  void updateButtons();

  std::string folder_;
  ViewKind kind_;
  Encoder encode_;
  std::vector<FormatListEntry> files_;
  QTreeWidget* list_;
  QPushButton* modify_;
  QPushButton* delete_;
  QPushButton* ok_;
  QCheckBox* objects_;
};

}  // namespace kelvo

#endif  // KELVO_VIEWS_FORMAT_FILE_DIALOG_H_
