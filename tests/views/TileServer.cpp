// Test tile server (see TileServer.h).
#include "TileServer.h"

#include <QBuffer>
#include <QImage>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace {
QByteArray tileResponse() {
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(TileServer::tileColor());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n"
           "Cache-Control: public, max-age=604800\r\nContent-Length: " +
           QByteArray::number(png.size()) + "\r\n\r\n" + png;
}
} // namespace

TileServer::TileServer() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            buffers_.insert(socket, {});
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                buffers_.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

bool TileServer::start(quint16 port) {
    if (!server_.listen(QHostAddress::LocalHost, port))
        return false;
    port_ = server_.serverPort();
    return true;
}

void TileServer::stop() {
    server_.close();
    const QList<QTcpSocket*> sockets = buffers_.keys();
    buffers_.clear();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

QString TileServer::urlTemplate() const {
    return QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(port_);
}

void TileServer::onReadyRead(QTcpSocket* socket) {
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    for (qsizetype end = buffer.indexOf("\r\n\r\n"); end >= 0; end = buffer.indexOf("\r\n\r\n")) {
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        buffer.remove(0, end + 4);
        const QString path = QString::fromLatin1(lines.value(0).split(' ').value(1));
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:"))
                userAgents_.append(line.mid(line.indexOf(':') + 1).trimmed());
        paths_.append(path);
        maxOpen_ = std::max(maxOpen_, ++open_);
        QTimer::singleShot(answerDelayMs_, this, [this, socket = QPointer(socket), path] {
            --open_;
            static const QByteArray found = tileResponse();
            if (socket && socket->state() == QAbstractSocket::ConnectedState)
                socket->write(missing_.contains(path)
                                  ? "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"
                                  : found);
        });
    }
}
