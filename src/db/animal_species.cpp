#include "db/animal_species.h"

#include "base/text.h"

namespace vx {

namespace {

// An adult mouse covers about 10 to 30 cm² of floor, a rat 40 to 120, from curled up to
// stretched out.
constexpr SpeciesSize kSpecies[] = {{"mouse", 10, 30}, {"rat", 40, 120}};

}  // namespace

const SpeciesSize* FindSpecies(std::string_view name) {
  for (const SpeciesSize& species : kSpecies) {
    if (EqualsNoCase(name, species.name)) return &species;
  }
  return nullptr;
}

std::string SpeciesNames() {
  std::string names;
  for (const SpeciesSize& species : kSpecies) names += (names.empty() ? "" : ", ") + std::string(species.name);
  return names;
}

}  // namespace vx
