// A small HTTP tile server on 127.0.0.1 for tests: answers GET /z/x/y.png with a PNG of one
// colour, records paths and User-Agents, and can hold answers back to observe how many
// requests a client keeps open at once.
#pragma once

#include <QColor>
#include <QHash>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

class TileServer : public QObject {
public:
    TileServer();
    ~TileServer() override { stop(); }

    // Port 0: any free one; after stop(), start(port()) brings the same server back.
    bool start(quint16 port = 0);
    void stop();
    quint16 port() const { return port_; }
    QString urlTemplate() const;

    void setAnswerDelayMs(int ms) { answerDelayMs_ = ms; }
    // Paths answered with 404.
    void setMissingPaths(const QStringList& paths) { missing_ = paths; }

    qsizetype requestCount() const { return paths_.size(); }
    const QStringList& paths() const { return paths_; }
    const QByteArrayList& userAgents() const { return userAgents_; }
    int maxOpenRequests() const { return maxOpen_; }

    static QColor tileColor() { return {20, 140, 220}; }

private:
    void onReadyRead(QTcpSocket* socket);

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> buffers_;
    QStringList paths_;
    QByteArrayList userAgents_;
    QStringList missing_;
    quint16 port_ = 0; // kept after stop() so clients still address the same URLs
    int answerDelayMs_ = 0;
    int open_ = 0;
    int maxOpen_ = 0;
};
