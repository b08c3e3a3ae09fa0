// "분류 자료 복사": where a copied classification code goes. Shows the source
// (its parent's code and its own level part) and the destination (the code
// of the node it goes under, the new level part and the name), with "하위단계까지
// 모두 복사". OK hands the new code and name to an input function; when that
// refuses, its message is shown and the dialog stays open.
#ifndef KELVO_CLASS_COPY_DIALOG_H_
#define KELVO_CLASS_COPY_DIALOG_H_

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;

namespace kelvo {

class ClassCopyDialog : public QDialog {
  Q_OBJECT
 public:
  // Inputs the new code (whole, CP949) with its name; returns 0 or the
  // message number of the refusal.
  using Input = std::function<int(const QByteArray& code, const QByteArray& title)>;

  // sourceParent / sourcePart: the copied code split at its level;
  // targetParent: the code of the node pasted under; partLength: bytes of the
  // level part; title: the copied code's name (all CP949).
  ClassCopyDialog(const QByteArray& sourceParent, const QByteArray& sourcePart,
                  const QByteArray& targetParent, int partLength, const QByteArray& title,
                  Input input, QWidget* parent = nullptr);

  bool withDescendants() const;
  QLineEdit* partEdit() const { return part_; }
  QLineEdit* titleEdit() const { return title_; }

  void accept() override;

 private:
  QByteArray targetParent_;
  Input input_;
  QLineEdit* part_;
  QLineEdit* title_;
  QCheckBox* all_;
};

}  // namespace kelvo

#endif  // KELVO_CLASS_COPY_DIALOG_H_
