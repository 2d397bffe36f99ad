// An animal of the experiment (table Animals).
#pragma once

#include <string>
#include <vector>

#include "db/animal_size.h"
#include "db/field.h"

namespace vx {

struct DefaultArena {
  bool set = false;
  int first = 0;   // the arena's number within the protocol
  int second = 0;  // the zone id
};

struct CAnimal {
  int id = -1;
  std::string name;
  std::string notes;
  double minSize = 0;  // cm²; written as truncated integers
  double maxSize = 0;
  std::vector<tFieldContent> fields;
  int status = 0;
  bool usesExperimentSize = true;  // AnimalSize "Exp"
  AnimalSizeSetting size;          // the animal's own setting when usesExperimentSize is false
  DefaultArena defaultArena;
};

}  // namespace vx
