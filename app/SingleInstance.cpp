#include "SingleInstance.h"

#include "FileServices.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>

namespace {
const QString kDefaultKey = QStringLiteral("veldrin-studio");
const char* const kKeyEnvironmentVariable = "VELDRIN_INSTANCE_KEY";
const char* const kRuntimeFolderVariable = "XDG_RUNTIME_DIR";
const QString kFallbackFolderName = QStringLiteral("VeldrinInstance");
const QString kLockSuffix = QStringLiteral(".lock");
// A launch waits this long for another launch's check-and-listen.
constexpr int kLockTimeoutMs = 15000;
constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 2000;
// A studio that is still starting answers once its window is up.
constexpr int kAcknowledgeTimeoutMs = 10000;
constexpr char kAcknowledgement = 'A';
constexpr char kLineSeparator = '\n';
constexpr qsizetype kLengthBytes = sizeof(quint32);
// A hand-over larger than this is not from a studio launch.
constexpr quint32 kMaxHandOverBytes = 1 << 20;

Q_LOGGING_CATEGORY(lcInstance, "veldrin.instance", QtWarningMsg)

// The activation token on the first line, then one URL a line, after the payload's length.
QByteArray encodeHandOver(const QList<QUrl>& urls, const QByteArray& activationToken) {
    QByteArray payload = activationToken;
    for (const QUrl& url : urls)
        payload += kLineSeparator + url.toEncoded();
    QByteArray message;
    QDataStream(&message, QIODevice::WriteOnly) << quint32(payload.size());
    return message + payload;
}
} // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), key_(QFileInfo(key).fileName()) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey() {
    const QString fromEnvironment = qEnvironmentVariable(kKeyEnvironmentVariable);
    return fromEnvironment.isEmpty() ? kDefaultKey : fromEnvironment;
}

QString SingleInstance::socketFolder() {
    const QString runtime = qEnvironmentVariable(kRuntimeFolderVariable);
    if (QDir::isAbsolutePath(runtime) && fileservices::isPrivateDirectory(runtime))
        return runtime;
    const QString fallback = QDir(fileservices::cacheDirectory()).filePath(kFallbackFolderName);
    return fileservices::makePrivateDirectory(fallback) == fileservices::PrivateDirectory::ready
               ? fallback
               : QString();
}

QString SingleInstance::socketPath() const {
    const QString folder = socketFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(key_);
}

SingleInstance::Launch SingleInstance::start(const QList<QUrl>& urls,
                                             const QByteArray& activationToken) {
    const QString path = socketPath();
    if (path.isEmpty())
        return Launch::standalone;
    // Two launches at once must not both find no studio and both listen.
    QLockFile lock(path + kLockSuffix);
    if (!lock.tryLock(kLockTimeoutMs))
        return Launch::standalone;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(kConnectTimeoutMs))
        return handOver(socket, urls, activationToken);
    const QLocalSocket::LocalSocketError error = socket.error();
    // Only a socket nobody answers is left over; a busy studio keeps its own.
    if (error != QLocalSocket::ConnectionRefusedError && error != QLocalSocket::ServerNotFoundError)
        return Launch::standalone;
    return listenAt(path) ? Launch::listening : Launch::standalone;
}

bool SingleInstance::listen() {
    return start({}, {}) == Launch::listening;
}

SingleInstance::Launch SingleInstance::handOver(QLocalSocket& socket, const QList<QUrl>& urls,
                                                const QByteArray& activationToken) const {
    socket.write(encodeHandOver(urls, activationToken));
    if (!socket.waitForBytesWritten(kWriteTimeoutMs))
        return Launch::standalone;
    char answer = 0;
    if (!socket.waitForReadyRead(kAcknowledgeTimeoutMs) || !socket.getChar(&answer) ||
        answer != kAcknowledgement)
        return Launch::standalone;
    return Launch::handedOver;
}

bool SingleInstance::listenAt(const QString& path) {
    QLocalServer::removeServer(path);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    qCInfo(lcInstance) << "listening at" << path;
    return true;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
    }
}

void SingleInstance::receive(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kLengthBytes)
        return;
    quint32 length = 0;
    QDataStream(socket->peek(kLengthBytes)) >> length;
    if (length > kMaxHandOverBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < kLengthBytes + qint64(length))
        return;
    socket->skip(kLengthBytes);
    const QList<QByteArray> lines = socket->read(length).split(kLineSeparator);
    QList<QUrl> urls;
    for (qsizetype i = 1; i < lines.size(); ++i)
        urls.append(QUrl::fromEncoded(lines[i]));
    qCInfo(lcInstance) << "hand-over" << urls;
    emit handedOver(urls, lines.first());
    // Only now may the launch end: the files are in this studio's hands.
    socket->putChar(kAcknowledgement);
    socket->flush();
}
