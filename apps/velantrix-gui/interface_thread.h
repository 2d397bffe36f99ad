// Reaching the interface thread from a worker: calls queued on the application's event loop,
// and the core's messages raised on a worker shown there.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <string>

#include "base/platform.h"

namespace vx::gui {

// Runs call on the interface thread, unless receiver is gone by then.
template <typename Call>
void OnInterfaceThread(QObject* receiver, Call call) {
  QPointer<QObject> guard(receiver);
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [guard, call = std::move(call)] { if (guard) call(); }, Qt::QueuedConnection);
}

// Messages raised on a worker (a failed write) are shown by the interface thread's notifier,
// later; the worker does not wait for the box to close. A worker asks no question: the answer
// is Cancel.
class QueuedNotifier : public Notifier, public Asker {
 public:
  // owner: the worker; interface: the interface thread's services.
  QueuedNotifier(QObject* owner, Services interface) : owner_(owner), interface_(interface) {}
  void Notify(int messageId, const std::string& text, MessageIcon icon) override {
    Notifier* notifier = interface_.notifier;
    OnInterfaceThread(owner_, [notifier, messageId, text, icon] { notifier->Notify(messageId, text, icon); });
  }
  Answer Ask(int, const std::string&, AskButtons) override { return Answer::Cancel; }

 private:
  QObject* owner_;
  Services interface_;
};

}  // namespace vx::gui
