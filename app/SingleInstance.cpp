#include "SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcessEnvironment>

#include <unistd.h>

namespace {
const QString kKeyPrefix = QStringLiteral("veldrin-studio-");
// Lets tests run their own studio beside a user's one.
const QString kKeyEnvironmentVariable = QStringLiteral("VELDRIN_INSTANCE_KEY");
constexpr int kConnectTimeoutMs = 500;
constexpr int kWriteTimeoutMs = 2000;
constexpr char kUrlSeparator = '\n';
// A hand-over larger than this is not from a studio launch.
constexpr qint64 kMaxHandOverBytes = 1 << 20;
} // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), key_(std::move(key)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey() {
    const QString fromEnvironment =
        QProcessEnvironment::systemEnvironment().value(kKeyEnvironmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return kKeyPrefix + QString::number(getuid());
}

bool SingleInstance::handOver(const QList<QUrl>& urls) const {
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    QByteArray payload;
    for (const QUrl& url : urls)
        payload += url.toEncoded() + kUrlSeparator;
    // The end marker tells an empty hand-over (reopen) apart from a dropped connection.
    payload += kUrlSeparator;
    socket.write(payload);
    if (!socket.waitForBytesWritten(kWriteTimeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kWriteTimeoutMs);
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(key_)) {
        // A studio that crashed leaves its socket file behind.
        QLocalServer::removeServer(key_);
        if (!server_->listen(key_))
            return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMaxHandOverBytes) {
                socket->abort();
                return;
            }
            const QByteArray data = socket->peek(socket->bytesAvailable());
            const QByteArray endMarker = QByteArray(2, kUrlSeparator);
            if (!(data.endsWith(endMarker) || data == QByteArray(1, kUrlSeparator)))
                return;
            socket->readAll();
            QList<QUrl> urls;
            for (const QByteArray& line : data.split(kUrlSeparator)) {
                if (!line.isEmpty())
                    urls.append(QUrl::fromEncoded(line));
            }
            emit handedOver(urls);
        });
    }
}
