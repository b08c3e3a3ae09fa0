// Saving the open project as an external file (40115) and opening it again
// (40114), both through the menu commands with the file dialog answered as
// a user would.
#include <QDir>

#include "exchange_fixture.h"
#include "xJorDbm2.h"

using kelvo_test::ExchangeTest;

namespace {

// Activity codes and names of a project, in table order.
QStringList activities(ProjectDb& db) {
  QStringList list;
  std::vector<char> bytes(db.act.tb.recordSize);
  db.act.tb.current = -1;
  while (xMoveNext(&db.act.tb)) {
    xGetRec(&db.act.tb, bytes.data());
    ActRecord r;
    std::memcpy(&r, bytes.data(), sizeof r);
    list << QString::fromLatin1(r.code) + '|' + QString::fromLatin1(QByteArray(r.title).toHex());
  }
  return list;
}

class ProjectExchangeTest : public ExchangeTest {
 protected:
  QString sampleCopy() {
    const QString copy = path("sample.kvp");
    EXPECT_TRUE(QFile::copy(kelvo_test::binDir() + "/samples/small_building.kvp", copy));
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return copy;
  }
  const QString kXlsxFilter = QStringLiteral("엑셀 통합 문서 (*.xlsx)");
};

}  // namespace

TEST_F(ProjectExchangeTest, SavedWorkbookOpensAsTheSameProject) {
  registerConverters(
      {{{"dbf", "dBASE 파일", "xKvDbf.so"}, {"xlsx", "엑셀 통합 문서", "xKvXls.so"}}, ""});
  auto app = start({sampleCopy()});
  ASSERT_TRUE(app->document()->isOpen());
  const QStringList before = activities(app->document()->db());
  ASSERT_GT(before.size(), 10);
  EXPECT_TRUE(app->router()->state(40115).enabled);

  // A name typed without an extension takes the chosen filter's.
  answerFileDialog(path("out"), kXlsxFilter);
  ASSERT_TRUE(app->router()->dispatch(40115));
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(QFile::exists(path("out.xlsx")));
  EXPECT_TRUE(QFile::exists(path("out.opt")));
  EXPECT_FALSE(app->document()->isModified());

  answerFileDialog(path("out.xlsx"), kXlsxFilter);
  ASSERT_TRUE(app->router()->dispatch(40114));
  EXPECT_TRUE(messages_.empty());
  kelvo::CPlanDoc* doc = app->document();
  ASSERT_TRUE(doc->isOpen());
  EXPECT_TRUE(doc->path().isEmpty());
  EXPECT_TRUE(doc->isModified());
  EXPECT_EQ(activities(doc->db()), before);
  EXPECT_EQ(doc->classDef(0).levels, 3);
  EXPECT_EQ(doc->classDef(1).levels, 2);
}

TEST_F(ProjectExchangeTest, RefusalsAreReportedAndLeaveNothingBehind) {
  auto app = start();
  // Nothing registered.
  EXPECT_FALSE(app->router()->dispatch(40115));
  EXPECT_EQ(messages_, std::vector<int>{20027});

  app.reset();
  registerConverters(
      {{{"xlsx", "엑셀 통합 문서", "xKvXls.so"}, {"xyz", "없는 변환", "xKvNone.so"}}, ""});
  app = start();
  messages_.clear();
  answerFileDialog(path("plan.xyz"));
  EXPECT_FALSE(app->router()->dispatch(40115));
  EXPECT_EQ(messages_, std::vector<int>{20023});
  EXPECT_FALSE(QFile::exists(path("plan.xyz")));

  // A file that is not a workbook: the import fails and no half-made
  // project stays open, nor its working files.
  QFile bad(path("bad.xlsx"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("not a workbook");
  bad.close();
  const QString temp = app->settings().folders[kelvo::kFolderTemp];
  answer_ = QMessageBox::No;  // the new project is not saved
  ASSERT_TRUE(app->closeProject());
  const QStringList scratch = QDir(temp).entryList({"~Qz*"}, QDir::Files);
  messages_.clear();
  answerFileDialog(path("bad.xlsx"));
  EXPECT_FALSE(app->router()->dispatch(40114));
  EXPECT_EQ(messages_, std::vector<int>{20024});
  EXPECT_FALSE(app->document()->isOpen());
  EXPECT_EQ(QDir(temp).entryList({"~Qz*"}, QDir::Files), scratch);
}
