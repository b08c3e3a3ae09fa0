// The main window's status bar as the views see it.
#ifndef KELVO_STATUS_PANES_H_
#define KELVO_STATUS_PANES_H_

#include <QString>

namespace kelvo {

// Shows in the status bar's third pane (180 pixels) what the active view
// reports for the point under the mouse, e.g. a date or an activity code;
// an empty text clears it. Does nothing while there is no main window.
void setPointStatus(const QString& text);

// The text the third pane shows now (empty without a main window).
QString pointStatus();

}  // namespace kelvo

#endif  // KELVO_STATUS_PANES_H_
