#include "progress_guide_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "kelvo/strings.h"

namespace kelvo {
namespace {

struct Step {
  const char* text;
  int command;
};

struct Group {
  int button;
  QList<Step> steps;
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
        {" 8) PERT 도표 작성", 40036}}},
      {10201,
       {{" 1. 일정 분석", 40080},
        {" 2) 계획(목표) 일정 설정", 40083},
        {"(3) 보할(가중치) 자동 산출", 40084}}},
      {10202,
       {{" 1. 프로젝트 맵(실제일정/투입수량)", 40034},
        {"    @ Gantt 도표", 40035},
        {"    @ 자료 시트", 40040},
        {"    * 자동 산출", 40084}}},
      {10203,
       {{" 1. 일정 분석", 40080}, {" 2) 집계 자료 작성", 40081}, {"    * 집계 시트", 40041}}},
      {10204,
       {{" 1) 프로젝트 맵", 40034},
        {" 2) Gantt 도표", 40035},
        {" 3) PERT 도표", 40036},
        {" 4) 기간별 시트", 40037},
        {"(5) 기간별 도표", 40038},
        {"    * 기간별 수치 입력", 40039},
        {"(6) 자료 시트", 40040},
        {"(7) 집계 시트", 40041},
        {"(8) 사용자 보고서 작성", 40042}}},
  };
  return table;
}

}  // namespace

CProgressGuideDlg::CProgressGuideDlg(const QString& stage, QWidget* parent) : QDialog(parent) {
  setWindowTitle(loadString(1039));
  auto* grid = new QGridLayout;
  int row = 0;
  auto* stageLabel = new QLabel(stage, this);
  stageLabel->setObjectName(QStringLiteral("stage"));
  grid->addWidget(stageLabel, row++, 0, 1, 2);
  for (int g = 0; g < groups().size(); ++g) {
    const Group& group = groups()[g];
    auto* button = new QPushButton(loadString(103910 + g), this);
    button->setObjectName(QStringLiteral("btn%1").arg(group.button));
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("steps%1").arg(group.button));
    for (const Step& step : group.steps) combo->addItem(QString::fromUtf8(step.text), step.command);
    connect(button, &QPushButton::clicked, this, [this, combo] {
      command_ = combo->currentData().toInt();
      accept();
    });
    grid->addWidget(button, row, 0);
    grid->addWidget(combo, row++, 1);
  }
  const int nextStage[2] = {10205, 10206};
  for (int i = 0; i < 2; ++i) {
    auto* button = new QPushButton(loadString(103901 + i), this);
    button->setObjectName(QStringLiteral("btn%1").arg(nextStage[i]));
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
