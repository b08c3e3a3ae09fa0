#include "progress_guide_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

struct Step {
  const char* text;
  int command;
};

// Which stages a group serves.
enum Stages { kNoProject = 1, kPlanning = 2, kProgress = 4 };

struct Group {
  int button;
  QList<Step> steps;
  int stages;
};

const QList<Group>& groups() {
  static const QList<Group> table = {
      {10200,
       {{" 1. 프로젝트 등록", 57600},
        {"    * 프로젝트 열기", 57601},
        {"    * 프로젝트 정보", 40103},
        {" 2) 달력 작성", 40096},
        {"(3) 날짜 표현 형식 설정", 40097},
        {" 4. 분류체계 정의", 40105},
        {" 5. 분류표 입력", 40032},
        {" 6) 자원 입력", 40033},
        {" 7. 프로젝트 맵(작업/선후행 관계/작업조 작성)", 40034},
        {"    @ Gantt 도표", 40035},
        {"    @ 자료 시트", 40040},
        {" 8) PERT 도표 작성", 40036}},
       kNoProject | kPlanning},
      {10201,
       {{" 1. 일정 분석", 40080},
        {" 2) 계획(목표) 일정 설정", 40083},
        {"(3) 보할(가중치) 자동 산출", 40084}},
       kPlanning},
      {10202,
       {{" 1. 프로젝트 맵(실제일정/투입수량)", 40034},
        {"    @ Gantt 도표", 40035},
        {"    @ 자료 시트", 40040},
        {"    * 자동 산출", 40084}},
       kProgress},
      {10203,
       {{" 1. 일정 분석", 40080}, {" 2) 집계 자료 작성", 40081}, {"    * 집계 시트", 40041}},
       kProgress},
      {10204,
       {{" 1) 프로젝트 맵", 40034},
        {" 2) Gantt 도표", 40035},
        {" 3) PERT 도표", 40036},
        {" 4) 기간별 시트", 40037},
        {"(5) 기간별 도표", 40038},
        {"    * 기간별 수치 입력", 40039},
        {"(6) 자료 시트", 40040},
        {"(7) 집계 시트", 40041},
        {"(8) 사용자 보고서 작성", 40042}},
       kProgress},
  };
  return table;
}

}  // namespace

CProgressGuideDlg::CProgressGuideDlg(int stage, std::function<bool(int)> commandEnabled,
                                     QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(loadString(1039));
  const int now = stage < 0 ? kNoProject : stage == 0 ? kPlanning : kProgress;
  auto runs = [&commandEnabled](int command) { return !commandEnabled || commandEnabled(command); };
  auto* grid = new QGridLayout;
  int row = 0;
  auto* stageLabel = new QLabel(stage < 0 ? QString() : stageText(stage), this);
  stageLabel->setObjectName(QStringLiteral("stage"));
  grid->addWidget(stageLabel, row++, 0, 1, 2);
  for (int g = 0; g < groups().size(); ++g) {
    const Group& group = groups()[g];
    auto* button = new QPushButton(loadString(103910 + g), this);
    button->setObjectName(QStringLiteral("btn%1").arg(group.button));
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("steps%1").arg(group.button));
    auto* steps = new QStandardItemModel(combo);
    int first = -1;
    for (const Step& step : group.steps) {
      auto* item = new QStandardItem(QString::fromUtf8(step.text));
      item->setData(step.command, Qt::UserRole);
      item->setEnabled((group.stages & now) && runs(step.command));
      if (item->isEnabled() && first < 0) first = steps->rowCount();
      steps->appendRow(item);
    }
    combo->setModel(steps);
    combo->setCurrentIndex(first < 0 ? 0 : first);
    button->setEnabled(first >= 0);
    combo->setEnabled(first >= 0);
    connect(button, &QPushButton::clicked, this, [this, combo] {
      command_ = combo->currentData().toInt();
      accept();
    });
    grid->addWidget(button, row, 0);
    grid->addWidget(combo, row++, 1);
  }
  // "4. 다음단계로 진행" in a progress stage, "계획단계에서 진행단계로" in the
  // planning stage.
  const int nextStage[2][2] = {{10205, kProgress}, {10206, kPlanning}};
  for (int i = 0; i < 2; ++i) {
    auto* button = new QPushButton(loadString(103901 + i), this);
    button->setObjectName(QStringLiteral("btn%1").arg(nextStage[i][0]));
    button->setEnabled((nextStage[i][1] & now) && runs(40082));
    connect(button, &QPushButton::clicked, this, [this] {
      command_ = 40082;
      accept();
    });
    grid->addWidget(button, row++, 0);
  }
  auto* close = new QPushButton(loadString(103903), this);
  close->setObjectName(QStringLiteral("close"));
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(close, 0, Qt::AlignRight);
}

}  // namespace kelvo
