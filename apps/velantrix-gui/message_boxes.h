// The core's numbered messages and questions shown as message boxes.
#pragma once

#include <QWidget>
#include <functional>

#include "base/platform.h"

namespace vx::gui {

class MessageBoxNotifier : public Notifier {
 public:
  // parent() gives the window the boxes belong to (may return nullptr).
  explicit MessageBoxNotifier(std::function<QWidget*()> parent) : parent_(std::move(parent)) {}
  void Notify(int messageId, const std::string& text, MessageIcon icon) override;

 private:
  std::function<QWidget*()> parent_;
};

class MessageBoxAsker : public Asker {
 public:
  explicit MessageBoxAsker(std::function<QWidget*()> parent) : parent_(std::move(parent)) {}
  Answer Ask(int messageId, const std::string& text, AskButtons buttons) override;

 private:
  std::function<QWidget*()> parent_;
};

}  // namespace vx::gui
