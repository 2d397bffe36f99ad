// The open experiment as the program holds it: the file it lives in and the in-memory lists of
// its records, loaded when the experiment is opened and kept in step with the file.
//
// Invariant: after LoadAll() the lists mirror the file. Every store function (protocol_store.h,
// animal_store.h, test_store.h, video_store.h, field_store.h) writes through its own short
// transaction and, only when that transaction committed, updates the lists in place; a failed
// write leaves both the file and the lists as they were. Nothing keeps a connection open
// between operations. The lists belong to one thread (the one that runs the commands).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "db/animal.h"
#include "db/experiment_file.h"
#include "db/field.h"
#include "db/infos_store.h"
#include "db/protocol.h"
#include "db/test_record.h"
#include "db/video_file.h"

namespace vx {

// An id with its name, for pickers and lists sorted by name.
struct NamedId {
  int id = -1;
  std::string name;
};

// A picker entry that needs a second text: "%s ( %s )".
std::string PickerLabel(const std::string& name, const std::string& second);

// The ids and names of a query "select Id, Name from ..." in its own read transaction.
bool ListNamedIds(ExperimentFile& file, const std::string& sql, std::vector<NamedId>& list);
// The single integer of a query ("select COUNT(*) ...", "SELECT MAX(Id) ...") in its own read
// transaction: 0 when there is no row, -1 when the file cannot be read.
int QuerySingleInt(ExperimentFile& file, const std::string& sql);

class Experiment {
 public:
  ExperimentFile file;

  ExperimentSettings settings;
  std::vector<CField> fields;        // Category, then Ordre
  std::vector<CProtocol> protocols;  // by Id, with their zones, results and filters
  std::vector<CAnimal> animals;      // by Id
  std::map<int, CVideoFile> videos;  // by Id; each with the ids of the tests that use it
  std::map<int, CInfosTest> tests;   // by Id

  // Reads settings, fields, protocols, animals, videos and tests in one read transaction.
  // On failure the lists are left empty.
  bool LoadAll();
  void Clear();
  // Stores the experiment's notes (the Infos row "Notes") and keeps settings.notes in step.
  bool SaveNotes(const std::string& notes);

  CProtocol* FindProtocol(int id);
  const CProtocol* FindProtocol(int id) const;
  CAnimal* FindAnimal(int id);
  const CAnimal* FindAnimal(int id) const;
  const CField* FindField(int id) const;
  CVideoFile* FindVideo(int id);
  CInfosTest* FindTest(int id);

  // In-place updates after a committed write (used by the stores).
  void Remember(const CProtocol& protocol);
  void Remember(const CAnimal& animal);
  void Remember(const CField& field);
  void Remember(const CVideoFile& video);
  void Remember(const CInfosTest& test);
  // Rebuilds every video's test list from the tests' sources.
  void RelinkVideoTests();
};

}  // namespace vx
