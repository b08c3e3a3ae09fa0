// Long processing work on a generated project: the progress dialog's Cancel
// stops it, and the project is left exactly as it was.
#include <QLineEdit>

#include "kelvo/commands.h"
#include "kelvo/summary_registry.h"
#include "processing_fixture.h"

using namespace kelvo;
using kelvo_test::dump;
using kelvo_test::dumpInfo;
using kelvo_test::kvcli;
using kelvo_test::ProcessingTest;
using kelvo_test::whenModal;

TEST_F(ProcessingTest, CancelledLongRunsLeaveTheProjectUnchanged) {
  const QString big = path("big.kvp");
  int status = -1;
  kvcli({"new", big, "--code", "BIG", "--name", "big"}, &status);
  ASSERT_EQ(status, 0);
  kvcli({"gen", big, "--activities", "10000", "--relations", "15000"}, &status);
  ASSERT_EQ(status, 0);
  kvcli({"schedule", big}, &status);
  ASSERT_EQ(status, 0);
  ASSERT_TRUE(kelvo_test::encodeEmptyPassword(big));
  const QString acts = dump(big, "act"), info = dumpInfo(big);

  auto app = start(big);
  CPlanDoc* doc = app->document();
  // The first closing: the period, then the planned schedule, which is
  // cancelled half way.
  whenModal([](QDialog* d) {
    d->findChild<QLineEdit*>("periodFinish")
        ->setText(d->findChild<QLineEdit*>("periodStart")->text());
    whenModal([](QDialog* plan) {
      kelvo_test::cancelProgressOnceMoving();
      plan->accept();
    });
    d->accept();
  });
  EXPECT_FALSE(app->router()->dispatch(cmd::kNextStage));
  EXPECT_EQ(doc->info().stage, 0);
  EXPECT_FALSE(doc->isModified());

  // A summary of every activity, cancelled: no registration, no file.
  bool stayed = false;
  whenModal([&](QDialog* d) {
    kelvo_test::cancelProgressOnceMoving();
    d->accept();
    stayed = d->isVisible();
    d->reject();
  });
  EXPECT_FALSE(app->router()->dispatch(cmd::kBuildSummary));
  EXPECT_TRUE(stayed);
  EXPECT_TRUE(registeredSummaries(&doc->db()).empty());
  EXPECT_EQ(doc->openSummary(), 0);
  EXPECT_FALSE(doc->isModified());
  EXPECT_TRUE(messages_.empty());

  // What the program holds now, written out, is what was read.
  const QString copy = path("copy.kvp");
  ASSERT_TRUE(app->saveAs(copy));
  EXPECT_EQ(dump(copy, "act"), acts);
  EXPECT_EQ(dumpInfo(copy), info);
}
