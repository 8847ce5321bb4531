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
    quint16 port() const { return m_port; }
    QString urlTemplate() const;

    void setAnswerDelayMs(int ms) { m_answerDelayMs = ms; }
    // Paths answered with 404.
    void setMissingPaths(const QStringList& paths) { m_missing = paths; }

    qsizetype requestCount() const { return m_paths.size(); }
    const QStringList& paths() const { return m_paths; }
    const QByteArrayList& userAgents() const { return m_userAgents; }
    int maxOpenRequests() const { return m_maxOpen; }

    static QColor tileColor() { return {20, 140, 220}; }

private:
    void onReadyRead(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QStringList m_paths;
    QByteArrayList m_userAgents;
    QStringList m_missing;
    quint16 m_port = 0; // kept after stop() so clients still address the same URLs
    int m_answerDelayMs = 0;
    int m_open = 0;
    int m_maxOpen = 0;
};
