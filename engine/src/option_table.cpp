// Memory tables kept in option items (operations 8 and 9).
#include "option_dir.h"

namespace optdir {

// Memory tables arrive with the index layer; until then both operations
// report failure.
int32_t readTable(OptionFileRef*, int32_t, void*) {
  return 0;
}
int32_t writeTable(OptionFileRef*, int32_t, void*) {
  return 0;
}

}  // namespace optdir
