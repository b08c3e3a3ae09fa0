// The eleven document windows as the frame shows them: the views register
// a factory per window, and the hooks the frame calls when a window's
// content goes or prints. Libraries of views register here without
// knowing the frame.
#ifndef KELVO_DOCUMENT_WINDOWS_H_
#define KELVO_DOCUMENT_WINDOWS_H_

#include <functional>

class QPrinter;
class QWidget;

namespace kelvo {

inline constexpr int kDocumentWindows = 11;

// Makes the content of document window n (a view or a splitter of views).
using WindowFactory = std::function<QWidget*(QWidget* parent)>;
// Views register here as they are built; a window without a factory has its
// tab and its menu entry disabled. An empty factory takes the registration
// back.
void registerDocumentWindow(int number, WindowFactory factory);
bool hasDocumentWindow(int number);
// Makes the content of window n with its registered factory (null when it
// has none).
QWidget* makeDocumentWindow(int number, QWidget* parent);

// Called with the content of a document window just before the frame
// deletes it (window switch, project close, exit), so that the views in it
// can store their settings while the project is still open. The views
// register it; null removes it.
using ContentCloser = std::function<void(QWidget* content)>;
void setContentCloser(ContentCloser closer);

// Prints the content of a document window onto printer through the view
// that prints for it: 1 printed, 0 failed (its message shown), -1 the
// content has no view that prints. The views register it; null removes it.
using ContentPrinter = std::function<int(QWidget* content, QPrinter* printer)>;
void setContentPrinter(ContentPrinter printer);
int printContent(QWidget* content, QPrinter* printer);

}  // namespace kelvo

#endif  // KELVO_DOCUMENT_WINDOWS_H_
