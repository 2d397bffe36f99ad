// A simple condition given in words, as a user writes it on a command line:
//   PROPERTY=VALUE,VALUE[ and|or PROPERTY=VALUE,...]
// PROPERTY is "animal" or a choice field (its name or id); VALUEs are animals or choices (names
// or ids). The stored Logic text ("1|-1|,3,|1|-2|") is accepted as well.
#pragma once

#include <string>

#include "db/experiment.h"
#include "results/filter.h"

namespace vx {

// Fills the condition of filter; returns "" or why the text is not a condition of this
// experiment (an unknown property or value, a field that is not a choice field).
std::string ReadCondition(const Experiment& experiment, const std::string& text, CFilter& filter);

// The condition in words, names in place of ids ("animal=Rat 1,Rat 2 or Group=A").
std::string DescribeCondition(const Experiment& experiment, const CFilter& filter);

}  // namespace vx
