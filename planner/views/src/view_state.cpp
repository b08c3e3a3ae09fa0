#include "kelvo/view_state.h"

namespace kelvo {

ViewState& viewState() {
  static ViewState state;
  return state;
}

uint16_t& optionFlags() {
  static uint16_t fallback = 0x600;
  ViewState& st = viewState();
  return st.flags ? *st.flags : fallback;
}

}  // namespace kelvo
