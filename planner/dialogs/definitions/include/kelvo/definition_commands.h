// The definition commands of the program that set project-wide
// conventions: "달력" (40096). Each opens its dialog on the open project.
#ifndef KELVO_DEFINITION_COMMANDS_H_
#define KELVO_DEFINITION_COMMANDS_H_

namespace kelvo {

class CKelvoApp;

// Adds the definition commands to the program's command chain, after the
// targets already in it. Call once, before app.startup().
void registerDefinitionCommands(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_DEFINITION_COMMANDS_H_
