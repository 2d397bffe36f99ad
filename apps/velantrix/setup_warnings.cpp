#include "setup_warnings.h"

#include "base/text.h"
#include "zones/calibration.h"
#include "zones/adjusted_zones.h"

namespace vx::cli {

AnimalSizeSetting AnimalSizeOfTest(const Experiment& experiment, const CInfosTest& test) {
  const CAnimal* animal = experiment.FindAnimal(test.idAnimal);
  return animal != nullptr && !animal->usesExperimentSize ? animal->size
                                                          : experiment.settings.animalSize;
}

std::string AnimalSizeProblemText(SetupProblem problem, const AnimalSizeSetting& size,
                                  double mmPerPixel) {
  const double small = PixelsOfArea(size.minSize, mmPerPixel);
  const double large = PixelsOfArea(size.maxSize, mmPerPixel);
  const std::string sizes = Format("the animal size %d-%d cm² is %.0f-%.0f pixels at %.4f mm per "
                                   "pixel",
                                   size.minSize, size.maxSize, small, large, mmPerPixel);
  return problem == SetupProblem::kAnimalTooSmall
             ? sizes + ", too small to tell from noise: check the ruler's length and unit"
             : sizes + ", more than half the image: check the ruler's length and unit";
}

std::string AdjustmentProblemText(const CInfosTest& test, const AdjustmentReading& reading) {
  const bool used = reading.adjustment.IsAdjusted() || !reading.adjustment.objects.empty();
  return Format("the arena adjustment stored for test %d, '%s', is not well formed (%s): %s "
                "(set it again with 'velantrix test adjust')",
                test.id, test.adjustArena.c_str(), reading.problem.c_str(),
                used ? "what could be read of it is used" : "the test is taken without it");
}

std::vector<std::string> TestSetupWarnings(const Experiment& experiment, const CInfosTest& test) {
  std::vector<std::string> warnings;
  const CProtocol* protocol = experiment.FindProtocol(test.idProtocol);
  if (protocol == nullptr) return warnings;
  ZoneSet zones;
  const AdjustmentReading adjustment = LoadTestZones(*protocol, test, zones);
  if (!adjustment.problem.empty()) warnings.push_back(AdjustmentProblemText(test, adjustment));
  if (CheckCalibration(zones) == SetupProblem::kNoRuler) {
    warnings.push_back(Format("protocol %d has no ruler, so distances, speeds and the animal "
                              "size filter cannot work in millimetres (set one with 'velantrix "
                              "ruler set')",
                              protocol->id));
    return warnings;
  }
  const AnimalSizeSetting size = AnimalSizeOfTest(experiment, test);
  const double scale = MmPerPixel(zones);
  const SetupProblem problem =
      CheckAnimalSize(size.minSize, size.maxSize, scale, zones.imageWidth, zones.imageHeight);
  if (problem != SetupProblem::kNone) warnings.push_back(AnimalSizeProblemText(problem, size, scale));
  return warnings;
}

}  // namespace vx::cli
