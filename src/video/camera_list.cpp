#include "video/camera_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/platform.h"
#include "base/text.h"

namespace vx {

namespace {

// The first line of a small sysfs file, without its line break; "" when unreadable.
std::string FirstLine(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  return Trim(line);
}

// N of a "videoN" folder name, or -1.
int VideoNodeNumber(const std::string& folder) {
  static const std::string prefix = "video";
  if (folder.rfind(prefix, 0) != 0) return -1;
  int number = -1;
  return TryParseInt(folder.substr(prefix.size()), number) && number >= 0 ? number : -1;
}

std::string WebcamsSection(const std::string& camera) { return "Webcams\\" + camera; }

}  // namespace

int CameraList::Enumerate(const std::string& sysfsRoot) {
  std::vector<Entry> found;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(sysfsRoot, error)) {
    const int number = VideoNodeNumber(item.path().filename().string());
    if (number < 0) continue;
    const std::string index = FirstLine(item.path() / "index");
    if (!index.empty() && index != "0") continue;  // a second node of the same device
    std::string name = FirstLine(item.path() / "name");
    if (name.empty()) name = item.path().filename().string();
    if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
    found.push_back({name, number});
  }
  std::sort(found.begin(), found.end(),
            [](const Entry& a, const Entry& b) { return a.device < b.device; });
  if (found.size() > static_cast<size_t>(kMaxCameras)) found.resize(kMaxCameras);
  std::lock_guard<std::mutex> lock(mutex_);
  entries_ = std::move(found);
  return static_cast<int>(entries_.size());
}

int CameraList::Find(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

int CameraList::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(entries_.size());
}

std::string CameraList::Name(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || index >= static_cast<int>(entries_.size())) return {};
  return entries_[index].name;
}

int CameraList::Device(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || index >= static_cast<int>(entries_.size())) return index;
  return entries_[index].device;
}

CameraList& ProcessCameras() {
  static CameraList cameras;
  return cameras;
}

CaptureRate CaptureRateFor(int requestedFps) {
  switch (requestedFps) {
    case 0: return {60, 0};
    case 1: return {5, 5};
    case 2: return {5, 3};
    case 3: return {5, 2};
    case 4: return {5, 0};
    default: return {requestedFps, 0};
  }
}

std::vector<cv::Size> LoadCameraSizes(const SettingsStore& settings, const std::string& camera) {
  const std::string section = WebcamsSection(camera);
  std::vector<cv::Size> sizes;
  if (settings.GetInt(section, "Version", 0) != 1) return sizes;
  const int count = settings.GetInt(section, "Number", 0);
  for (int i = 0; i < count; ++i) {
    const int width = settings.GetInt(section, Format("%d_Width", i), 0);
    const int height = settings.GetInt(section, Format("%d_Height", i), 0);
    if (width > 0 && height > 0) sizes.emplace_back(width, height);
  }
  return sizes;
}

void SaveCameraSizes(SettingsStore& settings, const std::string& camera,
                     const std::vector<cv::Size>& sizes) {
  const std::string section = WebcamsSection(camera);
  settings.SetInt(section, "Version", 1);
  settings.SetInt(section, "Number", static_cast<int>(sizes.size()));
  for (size_t i = 0; i < sizes.size(); ++i) {
    settings.SetInt(section, Format("%zu_Width", i), sizes[i].width);
    settings.SetInt(section, Format("%zu_Height", i), sizes[i].height);
  }
}

const std::vector<cv::Size>& CandidateCameraSizes() {
  static const std::vector<cv::Size> sizes = {
      {160, 120}, {320, 240}, {640, 480},  {800, 600},   {1024, 768},
      {1280, 720}, {1280, 960}, {1600, 1200}, {1920, 1080}};
  return sizes;
}

}  // namespace vx
