// Recording fakes of the platform services, for tests.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/system_platform.h"

namespace vx::testing {

struct Notification {
  int messageId;
  std::string text;
  MessageIcon icon;
};

class RecordingNotifier : public Notifier {
 public:
  void Notify(int messageId, const std::string& text, MessageIcon icon) override {
    notifications.push_back({messageId, text, icon});
  }
  bool Saw(int messageId) const {
    for (const auto& n : notifications)
      if (n.messageId == messageId) return true;
    return false;
  }
  std::vector<Notification> notifications;
};

// Answers questions from a script; Cancel when the script is exhausted.
class ScriptedAsker : public Asker {
 public:
  Answer Ask(int messageId, const std::string& text, AskButtons) override {
    questions.push_back({messageId, text, MessageIcon::Question});
    if (answers.empty()) return Answer::Cancel;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<Answer> answers;
  std::vector<Notification> questions;
};

class MemorySettings : public SettingsStore {
 public:
  int GetInt(const std::string& section, const std::string& key, int fallback) const override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) const override;
  void SetInt(const std::string& section, const std::string& key, int value) override;
  void SetString(const std::string& section, const std::string& key,
                 const std::string& value) override;
  std::map<std::string, std::string> values;  // "section/key" -> value
};

// A clock that only moves when told to (SleepMs advances it).
class FakeClock : public Clock {
 public:
  int64_t NowSeconds() const override { return nowSeconds; }
  uint32_t TickMs() const override { return tickMs; }
  void SleepMs(int milliseconds) override {
    tickMs += static_cast<uint32_t>(milliseconds);
    sleeps.push_back(milliseconds);
    if (onSleep) onSleep();
  }
  int SleptMs() const {
    int total = 0;
    for (int ms : sleeps) total += ms;
    return total;
  }
  int64_t nowSeconds = 1767225600;  // 2026-01-01 00:00:00 UTC
  uint32_t tickMs = 1000;
  std::vector<int> sleeps;
  std::function<void()> onSleep;  // what the world does while the program waits
};

// Real files, with the failures that file modes cannot produce for root: a full disk refuses
// every copy and move; a file or folder can be made immovable (held open by another program).
class FaultyFileSystem : public SystemFileSystem {
 public:
  bool CopyFile(const std::string& from, const std::string& to) override {
    return !diskFull && SystemFileSystem::CopyFile(from, to);
  }
  bool MoveFile(const std::string& from, const std::string& to) override {
    return !diskFull && from != immovable && SystemFileSystem::MoveFile(from, to);
  }
  bool diskFull = false;
  std::string immovable;
};

// Every service at once, real files, fake everything else.
struct TestServices {
  RecordingNotifier notifier;
  ScriptedAsker asker;
  MemorySettings settings;
  FakeClock clock;
  FaultyFileSystem files;
  Services Bundle() { return {&notifier, &asker, &settings, &clock, &files}; }
};

}  // namespace vx::testing
