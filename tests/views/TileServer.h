// A small HTTP tile server on 127.0.0.1 for tests: answers GET /z/x/y.png with a generated
// PNG, counts requests, records paths and User-Agents, and can hold answers back to observe
// how many requests a client keeps open at once.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

class TileServer : public QObject {
public:
    explicit TileServer(QObject* parent = nullptr);
    ~TileServer() override;

    // Port 0: any free one; after stop(), start(port()) brings the same server back.
    bool start(quint16 port = 0);
    void stop();
    quint16 port() const { return m_port; }
    QString urlTemplate() const;

    void setAnswerDelayMs(int ms) { m_answerDelayMs = ms; }
    // Paths answered with 404.
    void setMissingPaths(const QStringList& paths) { m_missing = paths; }

    int requestCount() const { return static_cast<int>(m_paths.size()); }
    const QStringList& paths() const { return m_paths; }
    const QList<QByteArray>& userAgents() const { return m_userAgents; }
    int maxOpenRequests() const { return m_maxOpen; }

    // The colour every tile is filled with.
    static QColor tileColor();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QString& path);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QStringList m_paths;
    QList<QByteArray> m_userAgents;
    QStringList m_missing;
    quint16 m_port = 0; // kept after stop() so clients still address the same URLs
    int m_answerDelayMs = 0;
    int m_open = 0;
    int m_maxOpen = 0;
};
