// "진행 자료 정보": the progress of one activity or of a view's selected
// activities in turn: remaining duration, actual dates, input unit price,
// the input quantities of its crew details and, for a time-shared activity,
// its dated quantities. Each change is stored through the document.
#ifndef KELVO_RECORDS_PROGRESS_DIALOG_H_
#define KELVO_RECORDS_PROGRESS_DIALOG_H_

#include <QByteArray>
#include <QDialog>
#include <vector>

#include "record_edit.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QWidget;

namespace kelvo {

class CPlanDoc;

class CProgressDialog : public QDialog {
  Q_OBJECT
 public:
  // records: the activities to step through, in the view's order.
  CProgressDialog(CPlanDoc& doc, std::vector<int32_t> records, QWidget* parent = nullptr);

  bool storedAny() const { return storedAny_; }
  // The activity shown (its record slot).
  int32_t currentSlot() const { return current_ < records_.size() ? records_[current_] : -1; }

  // Stores the activity shown; on refusal the dialog stays on it.
  void accept() override;
  // "<< 이전" and "다음 >>": store, then show the previous or next live
  // activity. False when storing was refused or there is none.
  bool step(int direction);
  // "자원 투입 수량 수정 ==>": the selected crew detail's input quantity.
  bool setCrewInput();
  // "첨가", "수정", "삭제" of the time-shared list.
  bool addTimeShared();
  bool changeTimeShared();
  bool deleteTimeShared();

 private:
  void build();
  void showActivity(size_t index);
  void readLists();
  // Stores what changed of the activity shown; false (message shown) on a
  // refusal.
  bool storeActivity();
  bool checkDates();
  bool readTimeSharedInput(SpaEntry* entry);
  bool enterTimeShared(bool replacing);

  CPlanDoc& doc_;
  std::vector<int32_t> records_;
  size_t current_ = 0;
  QByteArray record_;
  LoadedValues values_;
  bool storedAny_ = false;

  QLabel* code_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* duration_ = nullptr;
  QSpinBox* remaining_ = nullptr;
  QLineEdit* actualStart_ = nullptr;
  QLineEdit* actualFinish_ = nullptr;
  QLabel* quantity_ = nullptr;
  QLabel* contractPrice_ = nullptr;
  QLabel* executionPrice_ = nullptr;
  QLineEdit* inputPrice_ = nullptr;
  QTreeWidget* crews_ = nullptr;
  QLineEdit* crewInput_ = nullptr;
  QWidget* timeSharedBox_ = nullptr;
  QTreeWidget* timeShared_ = nullptr;
  QLineEdit* sharedDay_ = nullptr;
  QLineEdit* sharedQuantity_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
};

}  // namespace kelvo

#endif  // KELVO_RECORDS_PROGRESS_DIALOG_H_
