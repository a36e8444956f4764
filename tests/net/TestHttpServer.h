#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A small HTTP server on 127.0.0.1 for tests, so no test touches the real
// network. It lives on the thread that created it and serves only while that
// thread's event loop runs; HttpTransfer::get() pumps the loop while it waits,
// so a request made on the same thread is answered. Every connection carries
// one request and is closed after the answer ("Connection: close").
//
// Routes are chosen by the request's path (the query is ignored). A path
// without a route is answered with status 404 and notFoundPage().
class TestHttpServer : public QObject
{
    Q_OBJECT
public:
    // How the end of a body is shown to the client.
    enum class Framing {
        ContentLength, // a Content-Length header
        Chunked,       // Transfer-Encoding: chunked, in 64 KiB chunks
        UntilClose,    // no length at all; the body ends when the connection closes
    };

    explicit TestHttpServer(QObject *parent = nullptr);
    ~TestHttpServer() override;

    // Listens on 127.0.0.1 on a port the system chooses; false if it cannot.
    bool start();
    quint16 port() const;
    // "http://127.0.0.1:<port>" followed by path, which starts with a slash.
    QUrl url(const QString &path) const;

    // Answers path with body and the given status.
    void setBody(const QString &path, const QByteArray &body, int status = 200,
                 Framing framing = Framing::ContentLength);
    // Reads the request and never answers, so the client runs into its time-out.
    void setStall(const QString &path);
    // Announces all of body in Content-Length, sends only its first sentBytes
    // and closes the connection.
    void setDropMidBody(const QString &path, const QByteArray &body, qint64 sentBytes);
    // Reads the request and resets the connection without a word.
    void setReset(const QString &path);
    // Answers with status (301, 302, ...) and Location: location, which may be
    // another path of this server or an absolute address.
    void setRedirect(const QString &path, const QString &location, int status = 302);
    void clearRoutes();

    // Complete requests received for path, whatever their route.
    int requestCount(const QString &path) const;
    // Connections accepted, including those that never sent a request.
    int connectionCount() const;
    // Request line and headers of the latest request for path, as received.
    QByteArray lastRequestHead(const QString &path) const;

    // The page served for paths without a route.
    static QByteArray notFoundPage();
    // A port on 127.0.0.1 that nothing listens on (free a moment ago).
    static quint16 unusedPort();

private:
    enum class Kind { Body, Stall, Drop, Redirect, Reset };
    struct Route
    {
        Kind kind = Kind::Body;
        int status = 200;
        QByteArray body;
        Framing framing = Framing::ContentLength;
        qint64 sentBytes = 0;
        QByteArray location;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Route &route);

    QTcpServer m_server;
    QHash<QString, Route> m_routes;
    QHash<QString, int> m_requestCounts;
    QHash<QString, QByteArray> m_lastHeads;
    int m_connections = 0;
};
