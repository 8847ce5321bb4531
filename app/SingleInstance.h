// One studio per user session: a later launch hands its files to the running studio over a
// local socket and ends. An empty hand-over asks the running studio to reopen its window.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT

public:
    // `key` names the local socket; the default key is per user.
    explicit SingleInstance(QString key = defaultKey(), QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString defaultKey();

    // Gives `urls` to a running studio; true when one took them.
    bool handOver(const QList<QUrl>& urls) const;

    // Starts accepting hand-overs; false when the socket cannot be opened.
    bool listen();

signals:
    void handedOver(const QList<QUrl>& urls);

private:
    void accept();

    QString key_;
    QLocalServer* server_ = nullptr;
};
