#include "db/experiment.h"

#include <algorithm>

#include "base/text.h"
#include "db/animal_store.h"
#include "db/experiment_db.h"
#include "db/field_store.h"
#include "db/protocol_store.h"
#include "db/sql_query.h"
#include "db/test_store.h"
#include "db/video_store.h"

namespace vx {

namespace {

// Replaces the record of the same id in a list kept by id, or inserts it in id order.
template <typename Record>
void ReplaceOrInsertById(std::vector<Record>& list, const Record& record) {
  auto found = std::find_if(list.begin(), list.end(),
                            [&](const Record& r) { return r.id == record.id; });
  if (found != list.end()) {
    *found = record;
    return;
  }
  auto at = std::find_if(list.begin(), list.end(), [&](const Record& r) { return r.id > record.id; });
  list.insert(at, record);
}

template <typename List>
auto FindById(List& list, int id) -> decltype(&*list.begin()) {
  auto found =
      std::find_if(list.begin(), list.end(), [id](const auto& r) { return r.id == id; });
  return found == list.end() ? nullptr : &*found;
}

}  // namespace

std::string PickerLabel(const std::string& name, const std::string& second) {
  return name + " ( " + second + " )";
}

bool ListNamedIds(ExperimentFile& file, const std::string& sql, std::vector<NamedId>& list) {
  return RunReadTransaction(file, [&](SQLite::Database& db) { ReadNamedIds(db, sql, list); });
}

int QuerySingleInt(ExperimentFile& file, const std::string& sql) {
  int value = 0;
  const bool ok =
      RunReadTransaction(file, [&](SQLite::Database& db) { value = QueryInt(db, sql); });
  return ok ? value : -1;
}

bool Experiment::LoadAll() {
  Clear();
  ExperimentSettings readSettings;
  std::vector<CField> readFields;
  std::vector<CProtocol> readProtocols;
  std::vector<CAnimal> readAnimals;
  std::map<int, CVideoFile> readVideos;
  std::map<int, CInfosTest> readTests;
  const bool ok = RunReadTransaction(file, [&](SQLite::Database& db) {
    ReadExperimentSettings(db, readSettings);
    ReadAllFields(db, readFields);
    ReadAllProtocols(db, readProtocols);
    ReadAllAnimals(db, readFields, readAnimals);
    ReadAllVideos(db, readVideos);
    ReadAllTests(db, readFields, readTests);
  });
  if (!ok) return false;
  settings = std::move(readSettings);
  fields = std::move(readFields);
  protocols = std::move(readProtocols);
  animals = std::move(readAnimals);
  videos = std::move(readVideos);
  tests = std::move(readTests);
  RelinkVideoTests();
  return true;
}

bool Experiment::SaveNotes(const std::string& notes) {
  if (!RunWriteTransaction(file, [&](SQLite::Database& db) {
        db.Execute(Format("update Infos set Value = '%s' where Name='Notes'",
                          SqlQuote(notes).c_str()));
      })) {
    return false;
  }
  settings.notes = notes;
  return true;
}

void Experiment::Clear() {
  settings = ExperimentSettings{};
  fields.clear();
  protocols.clear();
  animals.clear();
  videos.clear();
  tests.clear();
}

CProtocol* Experiment::FindProtocol(int id) { return FindById(protocols, id); }
const CProtocol* Experiment::FindProtocol(int id) const { return FindById(protocols, id); }
CAnimal* Experiment::FindAnimal(int id) { return FindById(animals, id); }
const CAnimal* Experiment::FindAnimal(int id) const { return FindById(animals, id); }
const CField* Experiment::FindField(int id) const { return FindById(fields, id); }

CVideoFile* Experiment::FindVideo(int id) {
  auto found = videos.find(id);
  return found == videos.end() ? nullptr : &found->second;
}

CInfosTest* Experiment::FindTest(int id) {
  auto found = tests.find(id);
  return found == tests.end() ? nullptr : &found->second;
}

void Experiment::Remember(const CProtocol& protocol) { ReplaceOrInsertById(protocols, protocol); }
void Experiment::Remember(const CAnimal& animal) { ReplaceOrInsertById(animals, animal); }

void Experiment::Remember(const CField& field) {
  if (CField* known = FindById(fields, field.id)) {
    *known = field;
    return;
  }
  // Fields are listed category by category, in display order.
  auto at = std::find_if(fields.begin(), fields.end(), [&](const CField& f) {
    return f.category > field.category || (f.category == field.category && f.ordre > field.ordre);
  });
  fields.insert(at, field);
}

void Experiment::Remember(const CVideoFile& video) { videos[video.id] = video; }

void Experiment::Remember(const CInfosTest& test) {
  tests[test.id] = test;
  RelinkVideoTests();
}

void Experiment::RelinkVideoTests() {
  for (auto& [id, video] : videos) video.testIds.clear();
  for (const auto& [id, test] : tests) {
    if (CVideoFile* video = FindVideo(test.source)) video->testIds.push_back(id);
  }
}

}  // namespace vx
