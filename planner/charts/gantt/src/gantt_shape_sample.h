// A bar of the Gantt chart drawn small, for the shape choices of the
// option page.
#ifndef KELVO_GANTT_SHAPE_SAMPLE_H_
#define KELVO_GANTT_SHAPE_SAMPLE_H_

#include <QPixmap>

#include "xJorLib.h"

namespace kelvo {

// A filled bar with end marks `shape` (ganttmark::*), or a milestone of
// that shape, in colour, centred in a white pixmap of size.
QPixmap ganttShapeSample(int shape, bool milestone, COLORREF colour, QSize size);

}  // namespace kelvo

#endif  // KELVO_GANTT_SHAPE_SAMPLE_H_
