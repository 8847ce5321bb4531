// One studio per user session: a later launch hands its files to the running studio over a
// local socket in a folder only this user can enter, and ends once the running studio has
// acknowledged them. An empty hand-over asks the running studio to reopen its window.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUrl>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Launch {
        // A running studio took the files: this launch ends.
        handedOver,
        // This is the running studio now: later launches reach it.
        listening,
        // Neither (no private folder, a studio that does not answer): a studio of its own.
        standalone,
    };

    // `key` names the socket inside the private folder; a path is cut to its last part.
    explicit SingleInstance(QString key = defaultKey(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // VELDRIN_INSTANCE_KEY (lets tests run their own studio beside a user's), else the
    // program's name.
    static QString defaultKey();
    // $XDG_RUNTIME_DIR when it is a private folder of this user, else a 0700 folder made
    // under the cache folder; empty when neither can be had.
    static QString socketFolder();
    QString socketPath() const;

    // With the lock held: hands `urls` and the launcher's activation token to a running
    // studio, or, when none answers the socket, removes a socket left behind and listens.
    Launch start(const QList<QUrl>& urls, const QByteArray& activationToken);
    // start() without anything to hand over; true when this is now the listening studio.
    bool listen();

signals:
    void handedOver(const QList<QUrl>& urls, const QByteArray& activationToken);

private:
    Launch handOver(QLocalSocket& socket, const QList<QUrl>& urls,
                    const QByteArray& activationToken) const;
    bool listenAt(const QString& path);
    void accept();
    void receive(QLocalSocket* socket);

    QString key_;
    QLocalServer* server_ = nullptr;
};
