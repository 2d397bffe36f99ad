// One running instance per user: the first program listens on a local socket; a second start
// hands its experiment's path to the first (which opens it and comes to the front) and ends.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace vx::gui {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // key: the socket's name (a test gives its own).
  explicit SingleInstance(QString key);

  // True when another instance runs and took path ("" to only bring it to the front): this
  // process should end. Otherwise this process becomes the running instance.
  bool HandOver(const QString& path);

 signals:
  void FileHanded(const QString& path);  // "" when only asked to come to the front

 private:
  void Receive();

  QString key_;
  QLocalServer server_;
};

// The socket name of the current user's instance.
QString DefaultInstanceKey();

}  // namespace vx::gui
