// Messages by string number: a beep and a modal box with an exclamation
// icon, or a question with Yes / No.
#ifndef KELVO_MESSAGES_H_
#define KELVO_MESSAGES_H_

#include <QMessageBox>
#include <functional>

namespace kelvo {

// Beeps and shows string `id` with an exclamation icon.
void showMessage(QWidget* parent, int id);
// Shows `text` (already composed) the same way.
void showMessageText(QWidget* parent, const QString& text);
// Beeps and asks string `id`; returns QMessageBox::Yes or No (Cancel too when
// withCancel). defaultNo makes No the default button.
int askQuestion(QWidget* parent, int id, bool defaultNo = false, bool withCancel = false);
// The same with a composed text (reported to the hook as id 0).
int askQuestionText(QWidget* parent, const QString& text, bool defaultNo = false,
                    bool withCancel = false);

// Replaces the boxes (tests): called with the string number (0 for composed
// text) and the text; its result is the answer of a question.
using MessageHook = std::function<int(int id, const QString& text)>;
void setMessageHook(MessageHook hook);

}  // namespace kelvo

#endif  // KELVO_MESSAGES_H_
