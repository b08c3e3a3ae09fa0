// The OK / Cancel row shared by the program's dialogs.
#ifndef KELVO_DIALOG_BUTTONS_H_
#define KELVO_DIALOG_BUTTONS_H_

class QDialog;
class QDialogButtonBox;

namespace kelvo {

// "확인" / "취소" wired to the dialog's accept() and reject().
QDialogButtonBox* okCancelButtons(QDialog* dialog);

}  // namespace kelvo

#endif  // KELVO_DIALOG_BUTTONS_H_
