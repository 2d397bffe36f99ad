#include "scoring_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "db/test_analysis_store.h"
#include "measures/measure_definition.h"
#include "reports/behavior_reports.h"
#include "trajectory/behavior_blob.h"

namespace vx::gui {

namespace {

// The behaviour measures the view shows, with their column titles.
struct ShownMeasure {
  int measure;
  const char* title;
};
constexpr ShownMeasure kShown[] = {
    {25, "Occurrences"}, {23, "Total (s)"}, {22, "Mean (s)"}, {24, "Latency (s)"}};

}  // namespace

ScoringView::ScoringView(Experiment& experiment, Services& services, QWidget* parent)
    : QWidget(parent), experiment_(experiment), services_(services) {
  setFocusPolicy(Qt::StrongFocus);
  canvas_ = new FrameCanvas;
  player_ = new PlayerBar;
  timeline_ = new BehaviourTimeline;
  status_ = new QLabel;
  measures_ = new QTableWidget(0, static_cast<int>(std::size(kShown)));
  for (size_t c = 0; c < std::size(kShown); ++c) {
    measures_->setHorizontalHeaderItem(static_cast<int>(c), new QTableWidgetItem(tr(kShown[c].title)));
  }
  measures_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  measures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Wide enough for every measure of a behaviour beside its name, without scrolling.
  measures_->setMinimumWidth(400);
  auto* undo = new QPushButton(tr("Undo"));
  auto* startHere = new QPushButton(tr("Start here"));
  startHere->setToolTip(tr("Moves the start of the selected occurrence to the current time"));
  auto* endHere = new QPushButton(tr("End here"));
  endHere->setToolTip(tr("Moves the end of the selected occurrence to the current time"));
  auto* remove = new QPushButton(tr("Remove"));
  auto* save = new QPushButton(tr("Save the scoring"));

  auto* left = new QVBoxLayout;
  left->addWidget(canvas_, 1);
  left->addWidget(player_);
  left->addWidget(timeline_);
  left->addWidget(status_);
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(tr("Press a behaviour's key to record it.\nSpace: play / pause; arrows: one frame.")));
  right->addWidget(measures_, 1);
  auto* corrections = new QGridLayout;
  corrections->addWidget(undo, 0, 0);
  corrections->addWidget(remove, 0, 1);
  corrections->addWidget(startHere, 1, 0);
  corrections->addWidget(endHere, 1, 1);
  right->addLayout(corrections);
  right->addWidget(save);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(right);

  // The keys belong to the scoring wherever the focus is in the view.
  for (QWidget* child : findChildren<QWidget*>()) {
    child->installEventFilter(this);
    if (child != canvas_) child->setFocusPolicy(Qt::NoFocus);
  }
  connect(player_, &PlayerBar::FrameChanged, this, &ScoringView::ShowFrame);
  connect(timeline_, &BehaviourTimeline::SeekRequested, this, [this](int64_t ms) {
    player_->SetFrame(static_cast<int>(static_cast<double>(ms) * video_.Fps() / 1000.0));
  });
  connect(undo, &QPushButton::clicked, this, [this] { Undo(); });
  connect(startHere, &QPushButton::clicked, this, [this] { CorrectSelected(true); });
  connect(endHere, &QPushButton::clicked, this, [this] { CorrectSelected(false); });
  connect(remove, &QPushButton::clicked, this, &ScoringView::RemoveSelected);
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
}

bool ScoringView::ShowTest(int testId) {
  testId_ = testId;
  session_.reset();
  timeline_->SetSession(nullptr, 1);
  const QString problem = video_.Open(experiment_, testId);
  if (!problem.isEmpty()) {
    Status(problem);
    return false;
  }
  const TestJob& job = video_.Job();
  const std::vector<CBehavior> behaviors = ParseBehaviors(job.protocol.behaviors, job.protocol.id).behaviors;
  RecordedBehaviors recorded;
  TestBlobs blobs;
  if (LoadTestBlobs(experiment_, job.test, blobs) && !blobs.behaviors.empty() &&
      !ReadRecordedBehaviors(blobs.behaviors, job.protocol.id, behaviors, recorded)) {
    Status(tr("The recorded behaviours of this test are damaged; saving will replace them."));
  }
  const int64_t frameMs = static_cast<int64_t>(1000.0 / video_.Fps() + 0.5);
  session_ = std::make_unique<ScoringSession>(behaviors, job.protocol.id, recorded, frameMs);
  durationMs_ = std::max<int64_t>(video_.TimeMs(video_.FrameCount() - 1) + frameMs, 1);
  timeline_->SetSession(session_.get(), durationMs_);
  player_->SetVideo(video_.FrameCount(), video_.Fps());
  ShowFrame(0);
  RefreshMeasures();
  if (behaviors.empty()) {
    Status(tr("The protocol has no behaviours to score: add them on the protocol page."));
    return false;
  }
  setFocus();
  return true;
}

int64_t ScoringView::NowMs() const { return video_.IsOpen() ? video_.TimeMs(player_->Frame()) : 0; }

void ScoringView::ShowFrame(int frame) {
  const cv::Mat& image = video_.Frame(frame);
  if (!image.empty()) canvas_->SetPicture(ToQImage(image));
  player_->SetTimeMs(NowMs());
  timeline_->SetCurrentMs(NowMs());
}

bool ScoringView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event))) return true;
  return QWidget::eventFilter(watched, event);
}

void ScoringView::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event)) QWidget::keyPressEvent(event);
}

bool ScoringView::HandleKey(QKeyEvent* event) {
  if (session_ == nullptr) return false;
  if (event->matches(QKeySequence::Undo)) return Undo(), true;
  switch (event->key()) {
    case Qt::Key_Space: player_->Play(!player_->IsPlaying()); return true;
    case Qt::Key_Left: player_->SetFrame(player_->Frame() - 1); return true;
    case Qt::Key_Right: player_->SetFrame(player_->Frame() + 1); return true;
    default: break;
  }
  const QString text = event->text();
  if (text.size() != 1 || text[0].unicode() > 127 || (event->modifiers() & Qt::ControlModifier)) return false;
  const CBehavior* recorded = session_->Press(static_cast<char>(text[0].unicode()), NowMs());
  if (recorded == nullptr) return false;
  const bool running = session_->RunningStart(recorded->id).has_value();
  Status(tr("%1 %2 at %3").arg(QString::fromStdString(recorded->name))
             .arg(recorded->kind == 1 ? tr("recorded") : running ? tr("started") : tr("stopped"))
             .arg(TimeText(NowMs())));
  Changed();
  return true;
}

bool ScoringView::Undo() {
  if (session_ == nullptr || !session_->Undo()) return false;
  Status(tr("Undone."));
  Changed();
  return true;
}

void ScoringView::CorrectSelected(bool start) {
  if (session_ == nullptr || timeline_->SelectedOccurrence() < 0) return Status(tr("Click an occurrence on the timeline first."));
  const uint32_t id = timeline_->SelectedBehavior();
  const size_t index = static_cast<size_t>(timeline_->SelectedOccurrence());
  const auto& list = session_->Occurrences(id);
  if (index >= list.size()) return;
  tRecBehavior bounds = list[index];
  (start ? bounds.start : bounds.end) = static_cast<uint32_t>(NowMs());
  if (!session_->SetOccurrence(id, index, bounds)) {
    return Status(start ? tr("An occurrence cannot start after its end.") : tr("An occurrence cannot end before its start."));
  }
  timeline_->Select(0, -1);
  Changed();
}

void ScoringView::RemoveSelected() {
  if (session_ == nullptr || timeline_->SelectedOccurrence() < 0) return Status(tr("Click an occurrence on the timeline first."));
  session_->RemoveOccurrence(timeline_->SelectedBehavior(), static_cast<size_t>(timeline_->SelectedOccurrence()));
  timeline_->Select(0, -1);
  Changed();
}

void ScoringView::Changed() {
  timeline_->update();
  RefreshMeasures();
}

void ScoringView::RefreshMeasures() {
  if (session_ == nullptr) return measures_->setRowCount(0);
  const auto& behaviors = session_->Behaviors();
  const RecordedBehaviors recorded = session_->Result(NowMs());
  const std::vector<ReportPeriod> period = {{"", 0, durationMs_, durationMs_}};
  measures_->setRowCount(static_cast<int>(behaviors.size()));
  for (size_t row = 0; row < behaviors.size(); ++row) {
    auto* name = new QTableWidgetItem(QString("[%1] %2").arg(QChar(behaviors[row].key)).arg(QString::fromStdString(behaviors[row].name)));
    name->setForeground(BehaviourTimeline::BehaviourColour(row));
    measures_->setVerticalHeaderItem(static_cast<int>(row), name);
  }
  for (size_t column = 0; column < std::size(kShown); ++column) {
    MeasureDefinition definition;
    definition.measure = kShown[column].measure;
    MeasureTable table;
    ComputeBehaviorMeasure(definition, behaviors, recorded, period, table);
    for (size_t cell = 0; cell < table.CellCount() && cell < behaviors.size(); ++cell) {
      const double value = table.At(0, cell);
      const QString text = value < 0 ? QString("-") : kShown[column].measure == 25 ? QString::number(value, 'f', 0)
                                                                                    : QString::number(value, 'f', 2);
      measures_->setItem(static_cast<int>(cell), static_cast<int>(column), new QTableWidgetItem(text));
    }
  }
}

bool ScoringView::Save() {
  if (session_ == nullptr) return false;
  const CProtocol& protocol = video_.Job().protocol;
  if (!SaveBehaviors(experiment_, testId_, WriteBehaviors(session_->Result(durationMs_)), BehaviorReportIds(protocol))) {
    Status(tr("The scoring could not be saved; the experiment file is unchanged."));
    return false;
  }
  session_->MarkSaved();
  Status(tr("Scoring saved."));
  return true;
}

void ScoringView::Status(const QString& text) { status_->setText(text); }

}  // namespace vx::gui
