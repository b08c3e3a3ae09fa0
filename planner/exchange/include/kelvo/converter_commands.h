// The converter commands of the program: the converter registration dialog
// (40116) and the external editor (40087 send, 40088 read back) of every
// view that is a CEditorSource. Opening and saving external files (40114, 40115) belong to the
// application.
#ifndef KELVO_CONVERTER_COMMANDS_H_
#define KELVO_CONVERTER_COMMANDS_H_

#include <QString>

#include "kelvo/editor_source.h"

namespace kelvo {

class CKelvoApp;

// The folder the external editor's workbooks are written into, one the user
// can find: $KELVO_EDITOR_FOLDER when set, else "Kelvo 외부 편집" in the
// user's documents folder. It is made when missing.
QString editorFolder();

// Adds the converter commands to the program's command chain, after the
// targets already in it. Call once, before app.startup(). Setting
// KELVO_NO_DESKTOP_OPEN keeps a sent workbook from being opened with the
// desktop's default application (tests).
void registerConverterCommands(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_CONVERTER_COMMANDS_H_
