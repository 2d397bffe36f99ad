#include "analysis/reference_image.h"

#include <opencv2/imgcodecs.hpp>

#include <vector>

#include "analysis/arena_background.h"
#include "base/text.h"
#include "detection/detector.h"
#include "zones/ref_image_builder.h"

namespace vx {

namespace {

// The image as it reads back from the library, which stores images JPEG-encoded.
cv::Mat ThroughJpeg(const cv::Mat& image, bool gray) {
  std::vector<uint8_t> bytes;
  try {
    if (!cv::imencode(".jpg", image, bytes)) return {};
    return cv::imdecode(bytes, gray ? cv::IMREAD_GRAYSCALE : cv::IMREAD_COLOR);
  } catch (const cv::Exception&) {
    return {};
  }
}

bool VideoOnDisk(const ReferenceInputs& inputs) {
  return inputs.source != nullptr && inputs.files != nullptr && !inputs.videoPath.empty() &&
         inputs.files->Exists(inputs.videoPath);
}

cv::Size FrameSizeOf(const VideoSource& source) {
  return {source.frameWidth(), source.frameHeight()};
}

cv::Mat RecipeImage(const DetectionSettings& settings, VideoSource& source) {
  const int restore = source.currentFrame();
  const cv::Mat image = ReplayReferenceRecipe(
      settings.referenceRecipe, settings.method != kMethodSubtractionAdvanced, [&](int index) {
        return source.GoToFrame(index) == VideoStatus::kOk ? source.CurrentImage() : cv::Mat();
      });
  source.GoToFrame(restore);
  return image;
}

}  // namespace

bool UsesReference(int method) {
  return method == kMethodAutomatic || method == kMethodSubtraction ||
         method == kMethodSubtractionAdvanced;
}

cv::Mat ReplayReferenceRecipe(const std::string& recipe, bool gray,
                              const std::function<cv::Mat(int index)>& frame) {
  const std::vector<std::string> entries = Split(recipe, ';', false);
  if (entries.empty()) return {};
  int whole = 0;
  if (!TryParseInt(entries.front(), whole) || whole < 0) return {};
  cv::Mat reference;
  if (!PasteIntoReference(reference, frame(whole), gray, PasteArea::WholeFrame)) return {};
  for (size_t i = 1; i < entries.size(); ++i) {
    const std::vector<std::string> values = Split(entries[i], ',', true);
    int v[5];
    bool read = values.size() == 5;
    for (size_t k = 0; read && k < 5; ++k) read = TryParseInt(values[k], v[k]);
    if (!read || v[0] < 0) continue;
    PasteIntoReference(reference, frame(v[0]), gray, PasteArea::Rectangle,
                       cv::Rect(v[1], v[2], v[3], v[4]));
  }
  return reference;
}

cv::Mat ReferenceInMethodCoordinates(const cv::Mat& image, int method, bool backgroundFlag,
                                     const cv::Rect& arena, cv::Size frame) {
  if (image.empty()) return image;
  const bool frameCoordinates = method == kMethodAutomatic && !backgroundFlag;
  if (frameCoordinates || arena.empty()) return image;
  const cv::Rect region = SearchRectangle(arena, frame);
  if (image.size() == region.size() || image.size() != frame) return image;
  return image(region).clone();
}

bool PrepareReference(DetectionSettings& settings, const ReferenceInputs& inputs,
                      ArenaBackground* background) {
  const int method = settings.method;
  if (!UsesReference(method)) return true;
  const bool fromBackground = method == kMethodAutomatic && settings.backgroundFlag;
  if (!fromBackground && settings.referenceImageId != 0) {
    cv::Mat image = inputs.library ? inputs.library(settings.referenceImageId) : cv::Mat();
    if (!image.empty() && inputs.source != nullptr && inputs.source->IsFileOpen()) {
      image = ReferenceInMethodCoordinates(image, method, settings.backgroundFlag,
                                           inputs.context.arena, FrameSizeOf(*inputs.source));
    }
    settings.referenceImage = image;
    return true;
  }
  if (!VideoOnDisk(inputs)) return false;
  VideoSource& source = *inputs.source;
  if (!source.IsFileOpen()) return false;
  cv::Mat image;
  if (fromBackground) {
    ArenaBackground computed =
        ComputeArenaBackground(source, inputs.context, inputs.firstFrame, inputs.lastFrame);
    image = computed.image;
    if (background != nullptr) *background = std::move(computed);
  } else {
    const bool gray = method != kMethodSubtractionAdvanced;
    image = ThroughJpeg(RecipeImage(settings, source), gray);
    image = ReferenceInMethodCoordinates(image, method, settings.backgroundFlag,
                                         inputs.context.arena, FrameSizeOf(source));
  }
  if (image.empty()) return false;
  settings.referenceImage = image;
  return true;
}

}  // namespace vx
