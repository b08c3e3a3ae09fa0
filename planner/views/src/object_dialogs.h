// The dialogs of the drawing objects: "문자 형식" (text, font, alignment),
// "그림" (a picture file and natural size) and "도형 모양" (pen and fill).
#ifndef KELVO_OBJECT_DIALOGS_H_
#define KELVO_OBJECT_DIALOGS_H_

#include "kelvo/object_layer.h"

class QWidget;

namespace kelvo {

// The dialog a tool or a command opens: the test hook installed with
// setObjectDialogs, else the program's own dialog. True on OK, with *input
// or *style updated; Cancel leaves them alone.
bool runTextDialog(QWidget* parent, TextInput* input);
bool runPictureDialog(QWidget* parent, PictureInput* input);
bool runStyleDialog(QWidget* parent, ShapeStyle* style);

// The program's own dialogs, modal.
bool execTextDialog(QWidget* parent, TextInput* input);
bool execPictureDialog(QWidget* parent, PictureInput* input);
bool execStyleDialog(QWidget* parent, ShapeStyle* style);

}  // namespace kelvo

#endif  // KELVO_OBJECT_DIALOGS_H_
