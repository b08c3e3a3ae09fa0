// Actual-work figures at the end of a project ("실적 공사 자료 산출"): each work
// type's total duration and daily quantity, and each crew's total input,
// actual unit quantity and crew size, from the activities and crew details.
#ifndef KELVO_PROJECT_ACTUALS_H_
#define KELVO_PROJECT_ACTUALS_H_

#include <cstdint>

struct ProjectDb;

namespace kelvo {

struct ActualWorkCounts {
  int32_t workTypes = 0;  // work-type records written
  int32_t crews = 0;      // crew records written
  int32_t details = 0;    // crew details counted into a crew
};

// Resets and recomputes the figures of every work type and every crew
// (values that would divide by zero stay 0), rounded to quantityDecimals;
// crew sizes are rounded up to whole persons.
ActualWorkCounts computeProjectActualWork(ProjectDb* db, int quantityDecimals);

}  // namespace kelvo

#endif  // KELVO_PROJECT_ACTUALS_H_
