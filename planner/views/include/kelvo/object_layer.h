// The drawing-object layer every view carries: painting the view's two
// layers, the edit tools that create objects, selection with handles,
// moving and resizing by mouse and keyboard, order, alignment, the internal
// clipboard, the style dialog and the one undo step. CBaseView owns one and
// routes its mouse, keys, paint and commands through it.
#ifndef KELVO_OBJECT_LAYER_H_
#define KELVO_OBJECT_LAYER_H_

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "kelvo/drawing_objects.h"
#include "kelvo/unit_mapper.h"

class QPainter;
class QWidget;

namespace kelvo {

class CBaseView;
struct CommandState;

// One entry of the selection: the object's type, its rectangle in logical
// units at the time it was selected, its head's record index and its
// continuation records.
struct ObjectSelection {
  int16_t type = 0;
  LogicalRect rect;
  int32_t record = -1;
  int32_t continuations = 0;
};

// The style new lines, rectangles, ellipses and texts take (program-wide).
struct ShapeStyle {
  int16_t lineStyle = penstyle::kSolid;
  int16_t lineWidth = 0;
  COLORREF lineColor = 0;
  int16_t fill = fillcode::kNone;
  COLORREF fillColor = 0xFFFFFF;
};
struct CurrentStyle {
  ShapeStyle shape;
  COLORREF textColor = 0;
  LOGFONT textFont{};
};
CurrentStyle& currentStyle();

// What the text dialog "문자 형식" edits.
struct TextInput {
  QString text;
  LOGFONT font{};
  int16_t alignment = textalign::kLeft;
};
// What the picture dialog "그림" chooses: the file and "크기대로 표시".
struct PictureInput {
  QString path;
  bool naturalSize = false;
};
// The dialogs the layer opens. Unset members use the program's own dialogs;
// tests put their answers here.
struct ObjectDialogs {
  std::function<bool(QWidget* parent, TextInput* input)> text;
  std::function<bool(QWidget* parent, PictureInput* input)> picture;
  std::function<bool(QWidget* parent, ShapeStyle* style)> style;
};
void setObjectDialogs(ObjectDialogs dialogs);

// Empties the internal clipboard (a new project, tests).
void clearObjectClipboard();

class ObjectLayer {
 public:
  explicit ObjectLayer(CBaseView* view);

  // The selection, in descending record order.
  const std::vector<ObjectSelection>& selection() const { return selection_; }
  void clearSelection();
  // True while a mouse operation of the layer runs.
  bool busy() const { return op_ != Op::None; }

  // Mouse of the object tools (2 "도형 선택" .. 9 "그림"), logical points.
  void press(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers);
  // A press with a data tool (0 "자료 선택", 1 "자료 입력"). On a handle of
  // the selection it starts moving or resizing the objects and returns
  // true: the view's data tool does not see the press. Otherwise the
  // selection is dropped (kept with Shift) and false lets the data tool act;
  // its release then goes to selectAfterDataTool.
  bool pressWithDataTool(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers);
  // The release of a data-tool press at (x, y): a click selects the
  // front-most object under the point, a drag the objects wholly inside the
  // band from the press to here, as "도형 선택" does.
  void selectAfterDataTool(int32_t x, int32_t y);
  void drag(int32_t x, int32_t y);
  void release(int32_t x, int32_t y);
  // Drops the operation in progress (Esc, right button) and the selection.
  void cancel();
  // A double click with "도형 선택": edits the one selected object.
  bool doubleClick(int32_t x, int32_t y);
  // Arrow keys with "도형 선택" and a selection: move by 10 units, with Shift
  // resize. True when taken.
  bool key(int key, Qt::KeyboardModifiers modifiers);
  // The handle under (x, y): 0..8 (4 inside an object), or -1.
  int handleAt(int32_t x, int32_t y) const;

  // Paints this view's objects of one layer, clipped to body and to the
  // area right of x = 0 and below y = 0. (shiftX, shiftY) is added to every
  // object's logical point: printing places the objects on their page.
  void paintLayer(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body, bool front,
                  int32_t shiftX = 0, int32_t shiftY = 0);
  // Paints the selection's handles and the rubber outline (screen only).
  void paintOverlay(QPainter& painter, const UnitMapper& mapper);

  // The shape commands: order, alignment, style, the front-layer toggle,
  // edit, delete, copy, cut, paste and undo. False: not the layer's.
  bool onCommand(int id);
  bool updateCommand(int id, CommandState& state);

  // Fit to paper: multiplies the width and height of every object of the
  // view by fx and fy (truncated toward zero); a text's font height is
  // multiplied by fontFactor and its box measured again. Views call it from
  // applyFitToPaper with the factors they rescaled themselves by. A view
  // whose anchors hold distances of its own scale passes moveAnchor, which
  // gives each object's new anchor.
  void scaleObjects(double fx, double fy, double fontFactor,
                    const std::function<ViewPosition(ViewPosition)>& moveAnchor = {});

  // The logical point of an object's anchor and its normalised rectangle.
  void anchorPoint(const ObjectRecord& head, int32_t* x, int32_t* y) const;
  LogicalRect rectOf(uint32_t index) const;
  // The anchor of a logical point (clamped to x >= 0 and y <= 0 first).
  ViewPosition anchorOf(int32_t x, int32_t y) const;

  // Stores an object made by the view (its head first): appended to the
  // target layer when replace < 0, else in place of the object at replace,
  // keeping that one's layer. The step can be undone; the object becomes
  // the selection. False when it could not be stored.
  bool putObject(const ObjectRecords& records, int64_t replace);
  // The layer new objects go to.
  uint8_t targetLayer() const;
  // Keeps the whole object table as it is now as the view's one undo step:
  // undo swaps it back, a second undo redoes. Every edit of the layer does
  // this first; a change made outside it (a format file's objects) too.
  void keepUndo();

  // The file a picture object's name stands for in the project's working
  // files (empty without a project or for a name that is not one).
  QString picturePath(const std::string& name) const;
  // Copies the picture file at source into the working files under a free
  // name for record index and checks that it loads; returns the name, or
  // "" (and *reason) when it cannot be copied or read.
  std::string storePicture(const QString& source, uint32_t index, QString* reason) const;

 private:
  enum class Op { None, Create, Band, Handle };
  bool open() const;
  ObjectTable table() const;
  uint8_t backLayer() const;
  bool inUse(bool front) const;
  int tool() const;
  void changed();
  void select(uint32_t index);
  void selectIn(const LogicalRect& band);
  void selectClick(int32_t x, int32_t y);
  void selectBandOrClick(int32_t x, int32_t y);
  void refreshSelection(std::vector<uint32_t> descending);
  void create(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  bool createText(int32_t x, int32_t y, TextInput input, int64_t replace);
  bool createPicture(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool click, int64_t replace);
  void moveSelection(int32_t dx, int32_t dy);
  void resizeSelection(int handle, int32_t dx, int32_t dy);
  void setAnchor(uint32_t index, int32_t x, int32_t y);
  void order(int id);
  void align(int id);
  void styleCommand();
  void editSelected();
  void deleteSelected(bool ask);
  void copySelection();
  void paste();
  LogicalRect outline() const;

  CBaseView* view_;
  std::vector<ObjectSelection> selection_;
  Op op_ = Op::None;
  int handle_ = -1;
  int32_t startX_ = 0, startY_ = 0, atX_ = 0, atY_ = 0;
};

}  // namespace kelvo

#endif  // KELVO_OBJECT_LAYER_H_
