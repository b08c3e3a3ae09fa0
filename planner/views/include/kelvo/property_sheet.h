// The view settings dialogs ("선택 사항", "자료 형식"): pages shown together
// in one sheet, each created over the active view's values and written back
// only when the whole sheet ends with OK.
#ifndef KELVO_PROPERTY_SHEET_H_
#define KELVO_PROPERTY_SHEET_H_

#include <QDialog>
#include <QWidget>

#include "xJorLib.h"

class QPushButton;
class QTabWidget;

namespace kelvo {

// One page of a sheet. A page copies the values it edits when it is built
// and touches nothing outside itself until apply().
class CPropertyPage : public QWidget {
  Q_OBJECT
 public:
  explicit CPropertyPage(const QString& title, QWidget* parent = nullptr);

  // Checks the values entered. On a bad value beeps, puts the focus on its
  // field and returns false; the sheet then stays open on this page.
  virtual bool validate() { return true; }
  // Writes the page's values back to what it was built over. Called for
  // every page once all of them validated.
  virtual void apply() = 0;
  // Loads the controls again from what the page edits. A sheet whose pages
  // share one working copy calls it each time the page is shown.
  virtual void load() {}
};

// The sheet: tabs of pages with "확인" / "취소".
class CPropertySheet : public QDialog {
  Q_OBJECT
 public:
  CPropertySheet(const QString& caption, QWidget* parent = nullptr);

  // Adds page as the next tab (its window title is the tab text); the sheet
  // owns it.
  void addPage(CPropertyPage* page);
  int pageCount() const;
  CPropertyPage* page(int index) const;
  QTabWidget* tabs() const { return tabs_; }

  // OK: validates the pages in order, showing the first that refuses and
  // keeping the sheet open; when all pass, applies every page and closes.
  // With shared set, the pages edit one working copy: a page left for
  // another validates (refusing keeps it shown) and applies to the copy, a
  // page shown loads from it, and OK validates and applies the current page
  // only, so that a page never writes stale values over another's.
  void setPagesShareCopy(bool shared) { shared_ = shared; }
  void accept() override;

 private:
  void pageChanged(int index);

  QTabWidget* tabs_;
  bool shared_ = false;
  int shown_ = -1;
  bool switching_ = false;
};

// Whether every number box on page holds a number in its range. The first
// that does not gets the focus, after a beep.
bool checkNumberFields(QWidget* page);

// A button that opens the colour picker over *colour and keeps the choice.
QPushButton* colourButton(QWidget* parent, const QString& caption, COLORREF* colour);
// A button that opens the font picker over *font (height in 0.1 mm) and, if
// given, *colour, and keeps the choice.
QPushButton* fontButton(QWidget* parent, const QString& caption, LOGFONT* font,
                        COLORREF* colour = nullptr);
// The same button with the font's size in points beside it ("9 pt"), kept
// up to date when the picker changes the font and whenever the page is
// shown again. The button is named name, the size name + "Size".
QWidget* fontField(QWidget* parent, const QString& caption, LOGFONT* font,
                   COLORREF* colour = nullptr, const QString& name = {});

}  // namespace kelvo

#endif  // KELVO_PROPERTY_SHEET_H_
