// Typical body sizes of the species filmed from above, so that a scientist can name the
// species instead of working out sizes in cm².
#pragma once

#include <string>
#include <string_view>

namespace vx {

struct SpeciesSize {
  const char* name;  // as typed: "mouse"
  int minSize;       // cm², seen from above
  int maxSize;
};

// The species of that name (any case); nullptr for a species not known.
const SpeciesSize* FindSpecies(std::string_view name);

// The known names, comma-separated ("mouse, rat"), for help and messages.
std::string SpeciesNames();

}  // namespace vx
