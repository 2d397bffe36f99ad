#include "experiment_lists.h"

#include "base/text.h"

namespace vx::gui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString NameOf(const Experiment& experiment, int animalId) {
  const CAnimal* animal = experiment.FindAnimal(animalId);
  return animal ? Q(animal->name) : QString();
}

}  // namespace

QStringList ProtocolHeaders() { return {"Id", "Name", "Image size"}; }
QStringList AnimalHeaders() { return {"Id", "Name", "Notes"}; }
QStringList VideoHeaders() { return {"Id", "Name", "Frames", "Size", "File"}; }
QStringList TestHeaders() {
  return {"Id", "Test", "Animal", "Protocol", "Video", "Analysed", "Duration (s)", "Total dist. (mm)"};
}

std::vector<RecordTableModel::Row> ProtocolRows(const Experiment& experiment) {
  std::vector<RecordTableModel::Row> rows;
  for (const CProtocol& p : experiment.protocols) {
    rows.push_back({p.id, {QString::number(p.id), Q(p.name), Q(Format("%dx%d", p.width, p.height))}});
  }
  return rows;
}

std::vector<RecordTableModel::Row> AnimalRows(const Experiment& experiment) {
  std::vector<RecordTableModel::Row> rows;
  for (const CAnimal& a : experiment.animals) rows.push_back({a.id, {QString::number(a.id), Q(a.name), Q(a.notes)}});
  return rows;
}

std::vector<RecordTableModel::Row> VideoRows(const Experiment& experiment) {
  std::vector<RecordTableModel::Row> rows;
  for (const auto& [id, v] : experiment.videos) {
    rows.push_back({id, {QString::number(id), Q(v.name), QString::number(v.nbFrames),
                         Q(Format("%dx%d", v.width, v.height)), Q(v.file)}});
  }
  return rows;
}

std::vector<RecordTableModel::Row> TestRows(const Experiment& experiment) {
  std::vector<RecordTableModel::Row> rows;
  rows.reserve(experiment.tests.size());
  for (const auto& [id, t] : experiment.tests) {
    const CProtocol* protocol = experiment.FindProtocol(t.idProtocol);
    const auto video = experiment.videos.find(t.source);
    const bool analysed = t.dateAnalyse != 0;
    rows.push_back({id,
                    {QString::number(id), Q(t.title), NameOf(experiment, t.idAnimal),
                     protocol ? Q(protocol->name) : QString(),
                     video != experiment.videos.end() ? Q(video->second.name) : QString(),
                     analysed ? "yes" : "no", analysed ? QString::number(t.duration) : QString(),
                     analysed ? QString::number(t.distance, 'f', 1) : QString()}});
  }
  return rows;
}

}  // namespace vx::gui
