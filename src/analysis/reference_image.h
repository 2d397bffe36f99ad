// The reference image of a test's detection settings: the picture of the empty arena that the
// image-difference methods (automatic 0, subtraction 4 and 5) compare every frame with.
//
// Where it comes from:
// - method 0 with the background flag: a background computed from the test's video
//   (analysis/arena_background.h), at the arena rectangle's size;
// - otherwise, reference id above 0 (or -1): the image of that id in the experiment's image
//   library, none when the library has no such image;
// - reference id 0: the reference recipe replayed on the test's video (the whole frame named
//   first, then each patch pasted from its own frame; grey for methods 0 and 4, colour for 5),
//   passed through a JPEG encoding and decoding as a stored library image would be.
//
// Coordinates. Library and recipe images are whole frames. Methods 4 and 5, and method 0 with
// the background flag, read their reference at the arena rectangle's coordinates, so a
// whole-frame image is cut to the arena rectangle for them (an image that already has the
// rectangle's size is kept as it is); method 0 without the flag reads it at frame coordinates.
#pragma once

#include <opencv2/core/mat.hpp>

#include <functional>
#include <string>

#include "analysis/arena_background.h"
#include "base/platform.h"
#include "detection/detection_context.h"
#include "detection/detection_settings.h"
#include "video/video_source.h"

namespace vx {

// The experiment's image library: the image of an id (one channel when stored grey, else BGR),
// or an empty image when there is none.
using ImageLibrary = std::function<cv::Mat(int id)>;

struct ReferenceInputs {
  VideoSource* source = nullptr;  // open on the test's video; its position is restored
  std::string videoPath;          // the test's video: must exist for images made from it
  const FileSystem* files = nullptr;  // tells whether the video exists
  ImageLibrary library;           // may be empty: no library image is found
  DetectionContext context;       // arena rectangle, detection area, scale and size bounds
  int firstFrame = 0;             // the analysed period, for the background
  int lastFrame = -1;
};

// Does the method compare frames with a reference image (methods 0, 4, 5)?
bool UsesReference(int method);

// Builds settings.referenceImage as above. Methods without a reference: nothing to do, true.
// False when an image had to be made from the video and could not be: the video is missing
// (the reference is then left unchanged), it cannot be read, or the recipe names no frame.
// When a background was computed and background is given, it receives how it was made (its
// image is the reference).
bool PrepareReference(DetectionSettings& settings, const ReferenceInputs& inputs,
                      ArenaBackground* background = nullptr);

// The reference recipe replayed on frames: "%d;" for the whole frame, then "%d,%d,%d,%d,%d;"
// per patch (frame, x, y, width, height). frame(index) gives a BGR frame, or an empty image
// when it cannot be read. Empty when the recipe names no readable whole frame; a malformed or
// unreadable patch is left out.
cv::Mat ReplayReferenceRecipe(const std::string& recipe, bool gray,
                              const std::function<cv::Mat(int index)>& frame);

// A whole-frame image brought to the coordinates the method reads its reference in (above).
cv::Mat ReferenceInMethodCoordinates(const cv::Mat& image, int method, bool backgroundFlag,
                                     const cv::Rect& arena, cv::Size frame);

}  // namespace vx
