// "작업 정보": one activity's fields, with its dates recomputed on the
// activity's calendar as the user changes duration, dates, kind or
// calendar. OK stores what changed through the document (date mode 0).
#ifndef KELVO_RECORDS_ACTIVITY_DIALOG_H_
#define KELVO_RECORDS_ACTIVITY_DIALOG_H_

#include <QByteArray>
#include <QDialog>
#include <array>
#include <vector>

#include "record_edit.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace kelvo {

class CPlanDoc;

// Control numbers; each control's object name is "c" and its number.
namespace actctl {
inline constexpr int kCode = 10100, kTitle = 10101, kKind = 10500, kCalendar = 10501;
inline constexpr int kDuration = 10103, kRemaining = 10104, kConstraintType = 10502;
inline constexpr int kConstraintDate = 10106, kStart = 10107, kFinish = 10108;
inline constexpr int kActualStart = 10115, kActualFinish = 10116, kPath = 10120;
inline constexpr int kWorkType = 10102, kFacility = 10105, kSubcontractor = 10121;
inline constexpr int kUserCode = 10122, kManager = 10123, kRemark = 10124;
inline constexpr int kQuantity = 10129, kContractPrice = 10125, kExecutionPrice = 10126;
inline constexpr int kInputPrice = 10127, kFlagFirst = 10300;
}  // namespace actctl

class CActivityDialog : public QDialog {
  Q_OBJECT
 public:
  // record: the stored activity of `slot`, or (slot -1) a new activity as
  // the view prepared it.
  CActivityDialog(CPlanDoc& doc, int32_t slot, const QByteArray& record, QWidget* parent = nullptr);

  // After OK: whether anything was stored, and where.
  bool stored() const { return stored_; }
  int32_t slot() const { return slot_; }

  // Stores what changed; a refusal is shown and the dialog stays open.
  void accept() override;

 private:
  struct TextField {
    QLineEdit* edit;
    int offset;
  };

  void build();
  QLineEdit* addText(int control, int offset, int maxBytes);
  QLineEdit* addShown(int control, const QString& text);
  QLineEdit* addDate(int control, int offset);

  // Live recomputation: each user edit runs one of these.
  void calendarChosen();
  void kindChosen();
  void durationEdited();
  void startEdited();
  void finishEdited();
  void actualFinishEdited();
  void setFinishFromDuration();
  void showDuration(int duration);

  // OK's checks and the record it builds; false (message shown, focus on
  // the control) when a date is refused.
  bool checkDates();
  bool writeChanges(QByteArray& record);
  bool askTimeSharedDeletion(const QByteArray& record);

  CPlanDoc& doc_;
  int32_t slot_;
  QByteArray loaded_;
  LoadedValues values_;
  bool stored_ = false;

  QLineEdit* code_ = nullptr;
  QLineEdit* title_ = nullptr;
  QComboBox* kind_ = nullptr;
  QComboBox* calendar_ = nullptr;
  QSpinBox* duration_ = nullptr;
  QSpinBox* remaining_ = nullptr;
  QComboBox* constraintType_ = nullptr;
  QLineEdit* constraintDate_ = nullptr;
  QLineEdit* start_ = nullptr;
  QLineEdit* finish_ = nullptr;
  QLineEdit* actualStart_ = nullptr;
  QLineEdit* actualFinish_ = nullptr;
  QSpinBox* path_ = nullptr;
  std::vector<TextField> texts_;    // codes, remark, name: stored as the sheets store them
  std::vector<TextField> numbers_;  // quantity and unit prices
  std::array<QCheckBox*, 8> flags_{};
};

}  // namespace kelvo

#endif  // KELVO_RECORDS_ACTIVITY_DIALOG_H_
