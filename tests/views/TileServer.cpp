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
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            m_buffers.insert(socket, {});
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

bool TileServer::start(quint16 port) {
    if (!m_server.listen(QHostAddress::LocalHost, port))
        return false;
    m_port = m_server.serverPort();
    return true;
}

void TileServer::stop() {
    m_server.close();
    const QList<QTcpSocket*> sockets = m_buffers.keys();
    m_buffers.clear();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

QString TileServer::urlTemplate() const {
    return QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(m_port);
}

void TileServer::onReadyRead(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    for (qsizetype end = buffer.indexOf("\r\n\r\n"); end >= 0; end = buffer.indexOf("\r\n\r\n")) {
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        buffer.remove(0, end + 4);
        const QString path = QString::fromLatin1(lines.value(0).split(' ').value(1));
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:"))
                m_userAgents.append(line.mid(line.indexOf(':') + 1).trimmed());
        m_paths.append(path);
        m_maxOpen = std::max(m_maxOpen, ++m_open);
        QTimer::singleShot(m_answerDelayMs, this, [this, socket = QPointer(socket), path] {
            --m_open;
            static const QByteArray found = tileResponse();
            if (socket && socket->state() == QAbstractSocket::ConnectedState)
                socket->write(m_missing.contains(path)
                                  ? "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"
                                  : found);
        });
    }
}
