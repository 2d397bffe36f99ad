// The cameras of the machine, the capture rate of an acquisition, and the per-camera cache of
// accepted frame sizes (settings section "Webcams").
//
// On Linux the cameras are the V4L2 video nodes listed in /sys/class/video4linux; each node's
// "name" file holds the device's name. The list keeps at most kMaxCameras entries in device
// order; an entry's position is the camera index that the video source opens. The sysfs root
// is a parameter so that tests can enumerate a fake tree.
#pragma once

#include <opencv2/core/types.hpp>

#include <mutex>
#include <string>
#include <vector>

namespace vx {

class SettingsStore;

inline constexpr const char* kDefaultSysfsVideoRoot = "/sys/class/video4linux";

class CameraList {
 public:
  static constexpr int kMaxCameras = 20;
  static constexpr size_t kMaxNameLength = 254;

  // Fills the list from the video nodes under sysfsRoot (videoN folders, by N). Metadata nodes
  // (whose "index" file is not 0) are left out; a node without a name file is named "videoN".
  // Returns the number of cameras.
  int Enumerate(const std::string& sysfsRoot = kDefaultSysfsVideoRoot);

  // Position of name in the list, or -1.
  int Find(const std::string& name) const;
  int Count() const;
  std::string Name(int index) const;  // "" outside the list
  // The device number to open for list position index; index itself when the list does not
  // hold it (a camera opened by number without enumeration).
  int Device(int index) const;

 private:
  struct Entry {
    std::string name;
    int device = 0;
  };
  mutable std::mutex mutex_;  // the list is process-wide and read from any thread
  std::vector<Entry> entries_;
};

// The process-wide camera list.
CameraList& ProcessCameras();
// The process-wide list filled from the machine's video nodes; returns the number of cameras.
inline int EnumerateCameras(const std::string& sysfsRoot = kDefaultSysfsVideoRoot) {
  return ProcessCameras().Enumerate(sysfsRoot);
}
// Position of a camera name in the process-wide list, or -1.
inline int FindCamera(const std::string& name) { return ProcessCameras().Find(name); }

// The rate a camera is opened at for a requested acquisition rate, and how many frames of the
// capture make one kept frame (0 = keep all). 0 means 60; 1, 2, 3 are captured at 5 keeping
// one frame in 5, 3, 2; 4 is captured at 5 keeping all; higher rates as they are.
struct CaptureRate {
  int rate = 0;
  int skipFactor = 0;
};
CaptureRate CaptureRateFor(int requestedFps);

// Webcams cache: sub-section "Webcams\<camera name>" with Version (1), Number, and
// "%d_Width" / "%d_Height" for each accepted size.
std::vector<cv::Size> LoadCameraSizes(const SettingsStore& settings, const std::string& camera);
void SaveCameraSizes(SettingsStore& settings, const std::string& camera,
                     const std::vector<cv::Size>& sizes);

// The frame sizes a camera-settings page tries, smallest first.
const std::vector<cv::Size>& CandidateCameraSizes();

}  // namespace vx
