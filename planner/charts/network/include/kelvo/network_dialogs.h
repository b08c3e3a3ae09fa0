// The dialogs of the network window's option bar: "PERT 경로 최적화" (path
// assignment settings, with a button that runs the schedule analysis
// first) and "빈 경로 삽입/삭제".
#ifndef KELVO_NETWORK_DIALOGS_H_
#define KELVO_NETWORK_DIALOGS_H_

#include <cstdint>

#include "kelvo/network_paths.h"

class QWidget;

namespace kelvo {

// Asks for the path assignment settings, starting from *options; true on
// OK (the settings are then in *options).
bool askPathOptions(QWidget* parent, PathOptions* options);

// What "빈 경로 삽입/삭제" asks for.
struct PathEditRequest {
  int32_t position = 1;
  int32_t count = 1;
  bool insert = true;
  bool withObjects = false;  // "도형 연동"
};
bool askPathEdit(QWidget* parent, PathEditRequest* request);

}  // namespace kelvo

#endif  // KELVO_NETWORK_DIALOGS_H_
