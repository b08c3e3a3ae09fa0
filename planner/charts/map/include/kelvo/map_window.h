// Document window 2 "프로젝트 맵": the map view of the mode chosen on the
// window's option bar.
#ifndef KELVO_MAP_WINDOW_H_
#define KELVO_MAP_WINDOW_H_

#include "kelvo/map_model.h"

class QWidget;

namespace kelvo {

class CKelvoApp;
class CPlanDoc;
class CMapView;

// Builds the window's content: one map view of `mode`, initialised.
CMapView* makeMapWindow(CPlanDoc* doc, MapMode mode, QWidget* parent);

// Registers window 2 with the document frame, reading the option bar's
// choices (10503 the mode, 10502 the displayed item), and installs the
// program's dialogs for the map.
void registerMapWindow(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_MAP_WINDOW_H_
