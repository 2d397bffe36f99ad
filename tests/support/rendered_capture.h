// A frame stream drawn on demand by the synthetic animal renderer, standing in for a video
// file in analysis tests: exact frames (no compression), scripted frame times (repeated or
// irregular ones included), any length, and nothing written to disk. It is the scripted
// stream of fake_capture.h (seeking, reported properties, records) with rendered images.
#pragma once

#include <opencv2/core.hpp>

#include <memory>
#include <optional>
#include <vector>

#include "support/fake_capture.h"
#include "video/synthetic_animal.h"

namespace vx::testing {

// A mouse half the renderer's default size: about 10 cm² at 2 mm per pixel, for small frames.
inline AnimalLook SmallMouse() {
  AnimalLook look;
  look.bodyLength = 22;
  look.bodyWidth = 12;
  look.headLength = 9;
  look.headWidth = 7;
  look.tailLength = 20;
  return look;
}

// What a rendered stream shows: the scene, the animal's look and, per frame, its pose (none:
// the animal is out of sight).
struct RenderedScript : CaptureScript {
  SceneLook scene;
  AnimalLook look = DarkAnimal();
  std::vector<std::optional<AnimalPose>> poses;

  // Frames at a regular rate, the animal along path.
  static std::shared_ptr<RenderedScript> Regular(const SceneLook& scene, const AnimalLook& look,
                                                 const std::vector<AnimalPose>& path, double fps) {
    auto script = std::make_shared<RenderedScript>();
    script->scene = scene;
    script->look = look;
    script->size = scene.size;
    script->fps = fps;
    for (size_t i = 0; i < path.size(); ++i) {
      script->poses.emplace_back(path[i]);
      script->times.push_back(i * 1000.0 / fps);
    }
    return script;
  }

  // Frame i as the stream delivers it: the noise of the scene (when it has any) differs from
  // frame to frame, as a camera's does.
  cv::Mat FrameImage(int i) const {
    SceneLook noisy = scene;
    noisy.noiseSeed += i;
    return poses[i] ? RenderAnimalFrame(noisy, look, *poses[i]) : RenderScene(noisy);
  }
  void Render(int index, cv::Mat& image) const override { image = FrameImage(index); }

  // The truth of frame i (the animal's centre of mass and box); false when it is hidden.
  bool Truth(int i, AnimalTruth& truth) const {
    if (!poses[i]) return false;
    RenderAnimalFrame(scene, look, *poses[i], &truth);
    return true;
  }
};

inline CaptureFactory RenderedCaptureFactory(std::shared_ptr<RenderedScript> script) {
  return FakeCaptureFactory(std::move(script));
}

}  // namespace vx::testing
