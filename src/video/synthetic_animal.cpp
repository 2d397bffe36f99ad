#include "video/synthetic_animal.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <cmath>

namespace vx {

namespace {

constexpr int kShift = 4;  // sub-pixel bits for drawing
constexpr double kOne = 1 << kShift;
constexpr double kPi = 3.14159265358979323846;

cv::Point Fixed(cv::Point2d p) {
  return {static_cast<int>(std::lround(p.x * kOne)), static_cast<int>(std::lround(p.y * kOne))};
}
cv::Size FixedAxes(double length, double width) {
  return {static_cast<int>(std::lround(length / 2 * kOne)),
          static_cast<int>(std::lround(width / 2 * kOne))};
}

struct AnimalGeometry {
  cv::Point2d forward;  // unit vector of the heading
  cv::Point2d side;     // unit vector to the animal's right on screen
  cv::Point2d headCentre;
  cv::Point2d headTip;
  std::vector<cv::Point> tail;  // fixed-point polyline, empty without a tail
  cv::Point2d tailTip;
};

AnimalGeometry GeometryOf(const AnimalLook& look, const AnimalPose& pose) {
  AnimalGeometry g;
  const double a = pose.headingDeg * kPi / 180.0;
  g.forward = {std::cos(a), std::sin(a)};
  g.side = {-g.forward.y, g.forward.x};
  const double headOffset = look.bodyLength / 2 + look.headLength / 2 - 0.35 * look.headLength;
  g.headCentre = pose.centre + g.forward * headOffset;
  g.headTip = g.headCentre + g.forward * (look.headLength / 2);
  const cv::Point2d rear = pose.centre - g.forward * (look.bodyLength / 2 - 2.0);
  g.tailTip = pose.centre - g.forward * (look.bodyLength / 2);
  if (look.tailLength > 0) {
    // A gently bent tail: a half sine wave sideways along its length.
    constexpr int kSegments = 16;
    for (int i = 0; i <= kSegments; ++i) {
      const double s = static_cast<double>(i) / kSegments;
      const cv::Point2d p = rear - g.forward * (s * (look.tailLength + 2.0)) +
                            g.side * (look.tailBend * look.tailLength * std::sin(kPi * s));
      g.tail.push_back(Fixed(p));
      g.tailTip = p;
    }
  }
  return g;
}

void DrawBodyAndHead(cv::Mat& image, const AnimalLook& look, const AnimalPose& pose,
                     const AnimalGeometry& g, const cv::Scalar& colour) {
  cv::ellipse(image, Fixed(pose.centre), FixedAxes(look.bodyLength, look.bodyWidth),
              pose.headingDeg, 0, 360, colour, cv::FILLED, cv::LINE_8, kShift);
  cv::ellipse(image, Fixed(g.headCentre), FixedAxes(look.headLength, look.headWidth),
              pose.headingDeg, 0, 360, colour, cv::FILLED, cv::LINE_8, kShift);
}

void AddNoise(cv::Mat& image, double sigma, int seed) {
  if (sigma <= 0) return;
  cv::RNG rng(static_cast<uint64_t>(seed) * 7919u + 17u);
  cv::Mat noise(image.size(), CV_32F);
  rng.fill(noise, cv::RNG::NORMAL, 0.0, sigma);
  cv::Mat noisy;
  image.convertTo(noisy, CV_32FC3);
  cv::Mat channels[3] = {noise, noise, noise};
  cv::Mat noise3;
  cv::merge(channels, 3, noise3);
  noisy += noise3;
  noisy.convertTo(image, CV_8UC3);
}

cv::Mat RenderFloor(const SceneLook& scene) {
  cv::Mat image(scene.size, CV_8UC3, scene.background);
  if (scene.arena == ArenaShape::Rectangle) {
    cv::rectangle(image, scene.arenaRect, scene.floor, cv::FILLED);
  } else if (scene.arena == ArenaShape::Circle) {
    const cv::Point2d centre(scene.arenaRect.x + scene.arenaRect.width / 2.0,
                             scene.arenaRect.y + scene.arenaRect.height / 2.0);
    cv::ellipse(image, Fixed(centre), FixedAxes(scene.arenaRect.width, scene.arenaRect.height), 0,
                0, 360, scene.floor, cv::FILLED, cv::LINE_8, kShift);
  }
  return image;
}

}  // namespace

AnimalLook DarkAnimal() { return AnimalLook(); }

AnimalLook LightAnimal() {
  AnimalLook look;
  look.colour = cv::Scalar(225, 225, 225);
  return look;
}

SceneLook LightFloorScene(ArenaShape arena) {
  SceneLook scene;
  scene.arena = arena;
  return scene;
}

SceneLook DarkFloorScene(ArenaShape arena) {
  SceneLook scene;
  scene.arena = arena;
  scene.background = cv::Scalar(150, 150, 150);
  scene.floor = cv::Scalar(30, 30, 30);
  return scene;
}

cv::Mat RenderScene(const SceneLook& scene) {
  cv::Mat image = RenderFloor(scene);
  AddNoise(image, scene.noise, scene.noiseSeed);
  return image;
}

void DrawAnimal(cv::Mat& image, const AnimalLook& look, const AnimalPose& pose,
                AnimalTruth* truth) {
  const AnimalGeometry g = GeometryOf(look, pose);
  if (!g.tail.empty()) {
    cv::polylines(image, g.tail, false, look.colour, look.tailWidth, cv::LINE_8, kShift);
  }
  DrawBodyAndHead(image, look, pose, g, look.colour);
  if (truth == nullptr) return;
  cv::Mat body(image.size(), CV_8U, cv::Scalar(0));
  DrawBodyAndHead(body, look, pose, g, cv::Scalar(255));
  const cv::Moments m = cv::moments(body, true);
  truth->bodyPixels = static_cast<int>(m.m00);
  truth->centreOfMass = m.m00 > 0 ? cv::Point2d(m.m10 / m.m00, m.m01 / m.m00) : pose.centre;
  truth->bodyBox = cv::boundingRect(body);
  truth->headTip = g.headTip;
  truth->headCentre = g.headCentre;
  truth->tailTip = g.tailTip;
}

cv::Mat RenderAnimalFrame(const SceneLook& scene, const AnimalLook& look, const AnimalPose& pose,
                          AnimalTruth* truth) {
  cv::Mat image = RenderFloor(scene);
  DrawAnimal(image, look, pose, truth);
  AddNoise(image, scene.noise, scene.noiseSeed);
  return image;
}

std::vector<AnimalPose> CirclePath(cv::Point2d centre, double radius, int frames,
                                   double degreesPerFrame, double startDeg) {
  std::vector<AnimalPose> poses;
  for (int i = 0; i < frames; ++i) {
    const double deg = startDeg + i * degreesPerFrame;
    const double a = deg * kPi / 180.0;
    const double heading = deg + (degreesPerFrame >= 0 ? 90.0 : -90.0);
    poses.push_back({centre + cv::Point2d(std::cos(a), std::sin(a)) * radius, heading});
  }
  return poses;
}

std::vector<AnimalPose> StraightPath(cv::Point2d from, cv::Point2d to, int frames) {
  std::vector<AnimalPose> poses;
  const double heading = std::atan2(to.y - from.y, to.x - from.x) * 180.0 / kPi;
  for (int i = 0; i < frames; ++i) {
    const double s = frames > 1 ? static_cast<double>(i) / (frames - 1) : 0.0;
    poses.push_back({from + (to - from) * s, heading});
  }
  return poses;
}

bool WriteSyntheticVideo(const std::string& path, const std::string& fourcc, double fps,
                         const SceneLook& scene, const AnimalLook& look,
                         const std::vector<AnimalPose>& poses, std::vector<AnimalTruth>* truths) {
  if (fourcc.size() != 4) return false;
  try {
    cv::VideoWriter writer(path, cv::CAP_FFMPEG,
                           cv::VideoWriter::fourcc(fourcc[0], fourcc[1], fourcc[2], fourcc[3]),
                           fps, scene.size, true);
    if (!writer.isOpened()) return false;
    if (truths) truths->clear();
    const cv::Mat floor = RenderFloor(scene);
    cv::Mat frame;
    for (size_t i = 0; i < poses.size(); ++i) {
      floor.copyTo(frame);
      AnimalTruth truth;
      DrawAnimal(frame, look, poses[i], truths ? &truth : nullptr);
      AddNoise(frame, scene.noise, scene.noiseSeed + static_cast<int>(i));
      writer.write(frame);
      if (truths) truths->push_back(truth);
    }
    return true;
  } catch (const cv::Exception&) {
    return false;
  }
}

}  // namespace vx
