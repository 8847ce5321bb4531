// Test tile server (see TileServer.h).
#include "TileServer.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace {
QByteArray pngTile() {
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(TileServer::tileColor());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
} // namespace

TileServer::TileServer(QObject* parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, &TileServer::onNewConnection);
}

TileServer::~TileServer() {
    stop();
}

QColor TileServer::tileColor() {
    return QColor(20, 140, 220);
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

void TileServer::onNewConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_buffers.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void TileServer::onReadyRead(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    for (qsizetype end = buffer.indexOf("\r\n\r\n"); end >= 0; end = buffer.indexOf("\r\n\r\n")) {
        const QByteArray head = buffer.left(end);
        buffer.remove(0, end + 4);
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        const QString path = QString::fromLatin1(requestLine.value(1));
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:"))
                m_userAgents.append(line.mid(line.indexOf(':') + 1).trimmed());
        m_paths.append(path);
        m_maxOpen = std::max(m_maxOpen, ++m_open);
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(m_answerDelayMs, this, [this, guarded, path] {
            --m_open;
            if (guarded && guarded->state() == QAbstractSocket::ConnectedState)
                answer(guarded, path);
        });
    }
}

void TileServer::answer(QTcpSocket* socket, const QString& path) {
    if (m_missing.contains(path)) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    static const QByteArray body = pngTile();
    QByteArray response = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n"
                          "Cache-Control: public, max-age=604800\r\n"
                          "Last-Modified: Mon, 01 Jan 2024 00:00:00 GMT\r\n"
                          "Content-Length: " +
                          QByteArray::number(body.size()) + "\r\n\r\n";
    response += body;
    socket->write(response);
}
