#include "shell/demo_scene.h"

#include <cmath>

namespace vx {

namespace {

constexpr double kPi = 3.14159265358979323846;

// One leg of the tour: walk to a point at a speed, or stay still for a while.
struct Leg {
  cv::Point2d to;
  double speed = 0;    // pixels per second; 0: a pause
  double seconds = 0;  // for a pause
};
Leg Walk(double x, double y, double speed) { return {{x, y}, speed, 0}; }
Leg Pause(double seconds) { return {{}, 0, seconds}; }

// About a minute: corners, walls and the centre, with pauses (grooming, rearing) between.
const std::vector<Leg>& Tour() {
  static const std::vector<Leg> tour = {
      Pause(2.0),       Walk(320, 240, 90),  Pause(3.0),        Walk(490, 70, 110),
      Pause(2.0),       Walk(495, 410, 80),  Pause(4.0),        Walk(320, 420, 70),
      Walk(150, 410, 90), Pause(3.0),        Walk(145, 240, 60), Walk(320, 250, 100),
      Walk(460, 245, 120), Pause(1.5),       Walk(330, 120, 80), Walk(150, 70, 100),
      Pause(2.5),       Walk(250, 330, 130), Walk(420, 330, 110), Walk(150, 70, 140)};
  return tour;
}

}  // namespace

DemoLayout DemoArena() {
  DemoLayout layout;
  layout.zones = {{"Centre", {245, 165, 150, 150}},
                  {"Top left", {100, 20, 110, 110}},
                  {"Top right", {430, 20, 110, 110}},
                  {"Bottom left", {100, 350, 110, 110}},
                  {"Bottom right", {430, 350, 110, 110}}};
  return layout;
}

SceneLook DemoSceneLook(const DemoLayout& layout) {
  SceneLook scene;
  scene.size = layout.frame;
  scene.arena = ArenaShape::Rectangle;
  scene.arenaRect = layout.arena;
  scene.background = cv::Scalar(70, 75, 80);
  scene.floor = cv::Scalar(200, 205, 205);
  scene.noise = 2.0;
  return scene;
}

std::vector<AnimalPose> DemoPath(const DemoLayout& layout, double seconds) {
  const int frames = static_cast<int>(std::lround(seconds * layout.fps));
  std::vector<AnimalPose> poses;
  AnimalPose pose{{150, 70}, 45.0};
  const double dt = 1.0 / layout.fps;
  while (static_cast<int>(poses.size()) < frames) {
    for (const Leg& leg : Tour()) {
      if (leg.speed <= 0) {
        for (int i = static_cast<int>(std::lround(leg.seconds * layout.fps)); i > 0; --i) {
          poses.push_back(pose);
        }
        continue;
      }
      const cv::Point2d step = leg.to - pose.centre;
      const double length = std::hypot(step.x, step.y);
      const int count = std::max(1, static_cast<int>(std::lround(length / (leg.speed * dt))));
      pose.headingDeg = std::atan2(step.y, step.x) * 180.0 / kPi;
      const cv::Point2d from = pose.centre;
      for (int i = 1; i <= count; ++i) {
        pose.centre = from + step * (static_cast<double>(i) / count);
        poses.push_back(pose);
      }
    }
  }
  poses.resize(frames);
  return poses;
}

bool WriteDemoVideo(const std::string& path, const DemoLayout& layout,
                    const std::vector<AnimalPose>& poses) {
  const SceneLook scene = DemoSceneLook(layout);
  for (const char* codec : {"avc1", "mp4v"}) {
    if (WriteSyntheticVideo(path, codec, layout.fps, scene, DarkAnimal(), poses)) return true;
  }
  return false;
}

}  // namespace vx
