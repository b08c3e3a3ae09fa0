// Views on an open project: the shell's test set-up (offscreen application,
// private home, message recorder) plus a document with a fresh project.
#ifndef VIEWS_TESTS_VIEW_FIXTURE_H_
#define VIEWS_TESTS_VIEW_FIXTURE_H_

#include <memory>

#include "kelvo/base_view.h"
#include "kelvo/plan_doc.h"
#include "kelvo/text_fields.h"
#include "shell_fixture.h"
#include "test_view.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"

namespace kelvo_test {

inline uint16_t packedDay(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

class ViewTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(xOpenRef(&ref_, (binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    doc_ = std::make_unique<kelvo::CPlanDoc>(dir_.path() + '/', ref_);
    PrjInfo info = kelvo::newProjectInfo();
    kelvo::setFieldText(info.code, sizeof info.code, "P-01");
    kelvo::setFieldText(info.title, sizeof info.title, "사옥 신축 공사");
    kelvo::setFieldText(info.company, sizeof info.company, "한빛건설");
    info.start = packedDay(2026, 3, 2);
    info.finish = packedDay(2026, 12, 31);
    info.dataDate = packedDay(2026, 3, 2);
    ASSERT_TRUE(doc_->newProject(info));
    kelvo::viewState() = kelvo::ViewState{};
  }
  void TearDown() override {
    kelvo::viewState() = kelvo::ViewState{};
    doc_.reset();
    xCloseFile(&ref_);
    ShellTest::TearDown();
  }

  // A view of kind `kind` in window `window`, shown offscreen at w x h pixels.
  std::unique_ptr<TestView> makeView(kelvo::ViewKind kind, int window = 0, int w = 400,
                                     int h = 300) {
    kelvo::viewState().nextViewKind = kind;
    kelvo::viewState().nextWindow = static_cast<int16_t>(window);
    auto view = std::make_unique<TestView>(doc_.get());
    view->resize(w, h);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameShape(QFrame::NoFrame);
    view->show();
    return view;
  }

  int32_t ref_ = -1;
  std::unique_ptr<kelvo::CPlanDoc> doc_;
};

}  // namespace kelvo_test

#endif  // VIEWS_TESTS_VIEW_FIXTURE_H_
