// Loading plug-ins and the call sequences with their messages.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <cstring>

#include "kvconverters.h"

namespace {

class Operations : public ::testing::Test {
 protected:
  Operations() : settings_(dir_.filePath("k.conf"), QSettings::IniFormat) {
    kvconv::writeRegistrations(settings_, {{{"tst", "Test", "xKvTest.so"},
                                            {"eng", "Engine", "libxJorDbm2.so"},
                                            {"gone", "Missing", "xKvGone.so"},
                                            {"up", "Escape", "../bin/xKvTest.so"}},
                                           "tst"});
  }
  XKvRequest request(const char* path) {
    XKvRequest r{};
    r.path = path;
    r.info = info_;
    return r;
  }

  QTemporaryDir dir_;
  QSettings settings_;
  char info_[200];
  const std::string bin_ = KELVO_BIN_DIR;
};

TEST_F(Operations, LoadsByOrdinalFromTheProgramsFolder) {
  kvconv::Plugin p;
  ASSERT_TRUE(p.load(bin_, "xKvTest.so"));
  EXPECT_NE(p.proc(XKV_GET_INFO), nullptr);
  EXPECT_EQ(p.proc(XKV_IMP_TB), nullptr);
  EXPECT_EQ(p.proc(0), nullptr);
  EXPECT_EQ(p.proc(6), nullptr);
  kvconv::Plugin q;
  EXPECT_FALSE(q.load(bin_, "libxJorDbm2.so"));  // no ordinal table
  EXPECT_FALSE(q.load(bin_, "../bin/xKvTest.so"));
  EXPECT_FALSE(q.load(bin_, ""));
}

TEST_F(Operations, ImportRunsInfoCreateAndFill) {
  memset(info_, 'x', sizeof info_);
  XKvRequest r = request("set.tst");
  int created = 0;
  const kvconv::Outcome o = kvconv::importProject(settings_, bin_, "TST", r, [&] {
    ++created;
    return true;
  });
  EXPECT_EQ(o.result, 1);
  EXPECT_EQ(o.message, 0);
  EXPECT_EQ(created, 1);
  EXPECT_STREQ(info_, "IMPORTED");
  EXPECT_EQ(r.extension, nullptr);  // the key lived only for the call
}

TEST_F(Operations, FailuresGiveTheirMessages) {
  int created = 0;
  auto create = [&] {
    ++created;
    return true;
  };
  XKvRequest r = request("fail-info");
  EXPECT_EQ(kvconv::importProject(settings_, bin_, "tst", r, create).message, XKV_MSG_FAILED);
  EXPECT_EQ(created, 0);  // no database made for a set that cannot be read
  r = request("fail-imp");
  EXPECT_EQ(kvconv::importProject(settings_, bin_, "tst", r, create).message, XKV_MSG_FAILED);
  r = request("ok");
  EXPECT_EQ(kvconv::importProject(settings_, bin_, "tst", r, [] { return false; }).message,
            XKV_MSG_FAILED);
  r = request("fail-exp");
  EXPECT_EQ(kvconv::exportProject(settings_, bin_, "tst", r).message, XKV_MSG_FAILED);
  r = request("ok");
  EXPECT_EQ(kvconv::exportProject(settings_, bin_, "tst", r).message, 0);
  for (const char* ext : {"eng", "gone", "up", "none", ""})
    EXPECT_EQ(kvconv::exportProject(settings_, bin_, ext, r).message, XKV_MSG_NOT_FOUND) << ext;

  kvconv::writeRegistrations(settings_, {});
  EXPECT_EQ(kvconv::exportProject(settings_, bin_, "tst", r).message, XKV_MSG_NONE_REGISTERED);
  EXPECT_EQ(kvconv::editorCall(settings_, bin_, XKV_EXP_TB, r).message, XKV_MSG_NONE_REGISTERED);
}

TEST_F(Operations, EditorResultsAndMessages) {
  XKvRequest r = request("3");
  kvconv::Outcome o = kvconv::editorCall(settings_, bin_, XKV_EXP_TB, r);
  EXPECT_EQ(o.result, 3);
  EXPECT_EQ(o.message, 0);
  r = request("0");
  EXPECT_EQ(kvconv::editorCall(settings_, bin_, XKV_EXP_TB, r).message, XKV_MSG_FAILED);
  r = request("-1");  // dealt with by the converter: no message
  o = kvconv::editorCall(settings_, bin_, XKV_EXP_TB, r);
  EXPECT_EQ(o.result, -1);
  EXPECT_EQ(o.message, 0);
  r = request("5");  // xImpTb is missing from this plug-in
  EXPECT_EQ(kvconv::editorCall(settings_, bin_, XKV_IMP_TB, r).message, XKV_MSG_FAILED);

  kvconv::writeRegistrations(settings_, {{{"gone", "Missing", "xKvGone.so"}}, "gone"});
  EXPECT_EQ(kvconv::editorCall(settings_, bin_, XKV_EXP_TB, r).message, XKV_MSG_NOT_FOUND);
}

}  // namespace
