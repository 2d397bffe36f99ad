#include "single_instance.h"

#include <QLocalSocket>
#include <unistd.h>

namespace vx::gui {

namespace {
constexpr int kTimeoutMs = 200;  // a hung instance is not waited for longer than this
}

QString DefaultInstanceKey() {
  return QString("VELANTRIX-6f1d4c2e-9b7a-4e55-8c31-2a0d5e7b9f40-%1").arg(getuid());
}

SingleInstance::SingleInstance(QString key) : key_(std::move(key)) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::Receive);
}

bool SingleInstance::HandOver(const QString& path) {
  QLocalSocket socket;
  socket.connectToServer(key_);
  if (socket.waitForConnected(kTimeoutMs)) {
    socket.write(path.toUtf8() + '\n');
    socket.waitForBytesWritten(kTimeoutMs);
    socket.disconnectFromServer();
    return true;
  }
  // No one answers: a socket file left by a crash is removed before listening.
  QLocalServer::removeServer(key_);
  server_.listen(key_);
  return false;
}

void SingleInstance::Receive() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      emit FileHanded(QString::fromUtf8(socket->readLine()).trimmed());
    });
  }
}

}  // namespace vx::gui
