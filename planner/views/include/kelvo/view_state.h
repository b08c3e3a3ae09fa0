// The program-wide state of the views: the kind and window the next view is
// made for, the active edit view, the edit tool, the option word "Flags"
// and the command router. One instance for the whole program.
#ifndef KELVO_VIEW_STATE_H_
#define KELVO_VIEW_STATE_H_

#include <cstdint>
#include <functional>
#include <string>

#include "kelvo/view_kind.h"

namespace kelvo {

class CBaseView;
class CommandRouter;

// Edit tools: the command id of the "편집 도구" entry minus 40000.
namespace tool {
inline constexpr int kDataSelect = 0;   // "자료 선택"
inline constexpr int kDataInput = 1;    // "자료 입력"
inline constexpr int kShapeSelect = 2;  // "도형 선택"
inline constexpr int kText = 3;
inline constexpr int kHorizontalLine = 4;
inline constexpr int kVerticalLine = 5;
inline constexpr int kObliqueLine = 6;
inline constexpr int kRectangle = 7;
inline constexpr int kEllipse = 8;
inline constexpr int kPicture = 9;
// While a separator drag runs the tool is this state; the tool before the
// drag is kept in ViewState::toolBeforeDrag.
inline constexpr int kSeparatorDrag = 100;
}  // namespace tool

// Bits of the program option word "Flags" the views read.
namespace optflag {
inline constexpr uint16_t kShapesInFront = 0x8;
inline constexpr uint16_t kRightButtonIsEsc = 0x100;  // else it opens menu 133
inline constexpr uint16_t kLongCrosshair = 0x200;
inline constexpr uint16_t kConfirmDelete = 0x400;
}  // namespace optflag

// The program-wide view state: one instance for the whole program.
struct ViewState {
  // What the next view is created for; the frame sets both just before it
  // creates a view, and the view copies them in its constructor.
  ViewKind nextViewKind = ViewKind::WorkTypeSheet;
  int16_t nextWindow = 0;
  // The view that last became active (null when none).
  CBaseView* activeEditView = nullptr;
  // The current edit tool (tool::*) and, during a separator drag, the tool
  // before it.
  int editTool = tool::kDataSelect;
  int toolBeforeDrag = tool::kDataSelect;
  // The option word "Flags"; points at the shell's word once the program
  // wires it, else at a private word holding the default 0x600.
  uint16_t* flags = nullptr;
  // The command router; an activated view makes itself its first target.
  CommandRouter* router = nullptr;
  // Saves the open project as the shell's save command does (true when
  // saved). Unset: the document saves to its own file when it has one.
  std::function<bool()> saveProject;
  // The "Form" folder of format files (UTF-8). Unset: the folder stored in
  // the user's settings, else its default.
  std::function<std::string()> formFolder;
};
ViewState& viewState();
// The option word through ViewState::flags (the private default when unset).
uint16_t& optionFlags();

}  // namespace kelvo

#endif  // KELVO_VIEW_STATE_H_
