// The sample project opened in a document, for the record dialogs' tests:
// look-ups by code, the record of a slot, and kvcli's analysis of a saved
// copy.
#ifndef RECORDS_TESTS_RECORD_FIXTURE_H_
#define RECORDS_TESTS_RECORD_FIXTURE_H_

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <cstring>
#include <memory>

#include "kelvo/plan_doc.h"
#include "kelvo/sheet_find.h"
#include "kelvo/text_fields.h"
#include "record_edit.h"
#include "sample_project.h"
#include "shell_fixture.h"
#include "xJorDbm2.h"
#include "xJorLib.h"
#include "xjor/packed_date.h"

namespace kelvo_test {

class RecordDialogTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    sample_ = copySampleProject(binDir(), dir_.path());
    if (sample_.isEmpty()) GTEST_SKIP() << "no sample project in this build";
    ASSERT_EQ(xOpenRef(&ref_, (binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    doc_ = std::make_unique<kelvo::CPlanDoc>(dir_.path() + '/', ref_);
    ASSERT_TRUE(doc_->openProject(sample_));
  }
  void TearDown() override {
    doc_.reset();
    if (ref_ >= 0) xCloseFile(&ref_);
    ShellTest::TearDown();
  }

  ProjectDb& db() { return doc_->db(); }

  int32_t activitySlot(const char* code) {
    const uint32_t slot = kelvo::findCodeRecord(&db(), kelvo::ViewKind::Activities, code);
    return slot == XJOR_NONE ? -1 : static_cast<int32_t>(slot);
  }
  int32_t relationSlot(const char* pred, const char* succ) {
    const uint32_t slot = kelvo::findCodeRecord(&db(), kelvo::ViewKind::Relations, pred, succ);
    return slot == XJOR_NONE ? -1 : static_cast<int32_t>(slot);
  }
  QByteArray record(TableBinding& t, int32_t slot) {
    QByteArray r;
    EXPECT_TRUE(kelvo::readSlot(t.tb, slot, &r));
    return r;
  }
  ActRecord activity(const char* code) {
    ActRecord a{};
    const QByteArray r = record(db().act, activitySlot(code));
    std::memcpy(&a, r.constData(), sizeof a);
    return a;
  }
  RelRecord relation(const char* pred, const char* succ) {
    RelRecord rel{};
    const QByteArray r = record(db().rel, relationSlot(pred, succ));
    std::memcpy(&rel, r.constData(), sizeof rel);
    return rel;
  }
  static uint16_t date(int y, int m, int d) { return xjor::packDate(y, m, d); }

  // Types text into a line edit and leaves it, as a user does.
  static void type(QWidget* dialog, const char* name, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(name);
    ASSERT_NE(edit, nullptr) << name;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // Key events carry the text, so Hangul is typed like any other letter.
    for (const QChar ch : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(edit, &press);
    }
    // Leaving the field (Return would press the dialog's OK).
    emit edit->editingFinished();
  }

  // Saves the project into `name` and returns the path.
  QString save(const QString& name) {
    const QString file = path(name);
    EXPECT_TRUE(doc_->saveProject(file));
    return file;
  }

  // kvcli's analysis of a saved project: the START and FINISH columns of
  // activity `code` after `kvcli schedule`.
  QStringList kvcliDates(const QString& file, const QString& code) {
    const QString kvcli = binDir() + "/kvcli";
    QProcess p;
    p.start(kvcli, {"schedule", file});
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    p.start(kvcli, {"dump", file, "act"});
    p.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
      const QStringList cells = line.split(',');
      if (cells.size() > 5 && cells[0] == code) return {cells[4], cells[5]};
    }
    return {};
  }

  QString sample_;
  int32_t ref_ = -1;
  std::unique_ptr<kelvo::CPlanDoc> doc_;
};

}  // namespace kelvo_test

#endif  // RECORDS_TESTS_RECORD_FIXTURE_H_
