// The set-up checks of the core (zones/setup_checks.h) put into words for the command line:
// what is wrong, with the numbers, and what to do about it.
#pragma once

#include <string>
#include <vector>

#include "db/experiment.h"
#include "zones/adjustment_text.h"
#include "zones/setup_checks.h"

namespace vx::cli {

// The animal size (cm²) a test's analysis filters blobs with by default: its animal's own, or
// the experiment's default size.
AnimalSizeSetting AnimalSizeOfTest(const Experiment& experiment, const CInfosTest& test);

// The sentence for an animal size that does not fit a calibration (problem kAnimalTooSmall or
// kAnimalTooLarge).
std::string AnimalSizeProblemText(SetupProblem problem, const AnimalSizeSetting& size,
                                  double mmPerPixel);

// The sentence for a stored arena adjustment text that is not well formed.
std::string AdjustmentProblemText(const CInfosTest& test, const AdjustmentReading& reading);

// What would spoil the analysis of a test although it can run: a stored arena adjustment that
// does not parse, no ruler in its protocol, an animal size that does not fit the calibration. One sentence each, without a full stop.
std::vector<std::string> TestSetupWarnings(const Experiment& experiment, const CInfosTest& test);

}  // namespace vx::cli
