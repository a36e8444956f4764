#include "TestHttpServer.h"

#include <QTcpSocket>

#include <sys/socket.h>

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;
// A request head larger than this is not one our client sends.
constexpr int MaxHeadBytes = 64 * 1024;
const char *const HeadProperty = "testHttpHead";
const char *const AnsweredProperty = "testHttpAnswered";

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return QByteArrayLiteral("OK");
    case 301:
        return QByteArrayLiteral("Moved Permanently");
    case 302:
        return QByteArrayLiteral("Found");
    case 303:
        return QByteArrayLiteral("See Other");
    case 307:
        return QByteArrayLiteral("Temporary Redirect");
    case 404:
        return QByteArrayLiteral("Not Found");
    case 500:
        return QByteArrayLiteral("Internal Server Error");
    default:
        return QByteArrayLiteral("Status");
    }
}

QByteArray statusLine(int status)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
}

} // namespace

TestHttpServer::TestHttpServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TestHttpServer::onNewConnection);
}

TestHttpServer::~TestHttpServer() = default;

bool TestHttpServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

quint16 TestHttpServer::port() const
{
    return m_server.serverPort();
}

QUrl TestHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

void TestHttpServer::setBody(const QString &path, const QByteArray &body, int status,
                             Framing framing)
{
    Route route;
    route.kind = Kind::Body;
    route.status = status;
    route.body = body;
    route.framing = framing;
    m_routes.insert(path, route);
}

void TestHttpServer::setStall(const QString &path)
{
    Route route;
    route.kind = Kind::Stall;
    m_routes.insert(path, route);
}

void TestHttpServer::setDropMidBody(const QString &path, const QByteArray &body, qint64 sentBytes)
{
    Route route;
    route.kind = Kind::Drop;
    route.body = body;
    route.sentBytes = qBound<qint64>(0, sentBytes, body.size());
    m_routes.insert(path, route);
}

void TestHttpServer::setReset(const QString &path)
{
    Route route;
    route.kind = Kind::Reset;
    m_routes.insert(path, route);
}

void TestHttpServer::setRedirect(const QString &path, const QString &location, int status)
{
    Route route;
    route.kind = Kind::Redirect;
    route.status = status;
    route.location = location.toUtf8();
    route.body = QByteArrayLiteral("<html><body>Moved</body></html>");
    m_routes.insert(path, route);
}

void TestHttpServer::clearRoutes()
{
    m_routes.clear();
}

int TestHttpServer::requestCount(const QString &path) const
{
    return m_requestCounts.value(path);
}

int TestHttpServer::connectionCount() const
{
    return m_connections;
}

QByteArray TestHttpServer::lastRequestHead(const QString &path) const
{
    return m_lastHeads.value(path);
}

QByteArray TestHttpServer::notFoundPage()
{
    return QByteArrayLiteral("<!DOCTYPE html>\r\n<html><head><title>404 Not Found</title></head>"
                             "<body><h1>Not Found</h1></body></html>\r\n");
}

quint16 TestHttpServer::unusedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void TestHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connections;
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // Data may have arrived with the connection itself.
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void TestHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray head = socket->property(HeadProperty).toByteArray() + socket->readAll();
    if (socket->property(AnsweredProperty).toBool())
        return;
    const int end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (head.size() > MaxHeadBytes)
            socket->abort();
        else
            socket->setProperty(HeadProperty, head);
        return;
    }
    head.truncate(end + 2);
    socket->setProperty(HeadProperty, QVariant());
    socket->setProperty(AnsweredProperty, true);

    // "GET /path?query HTTP/1.1"
    const QByteArray requestLine = head.left(head.indexOf("\r\n"));
    const QList<QByteArray> parts = requestLine.split(' ');
    QByteArray target = parts.size() >= 2 ? parts.at(1) : QByteArray();
    const int query = target.indexOf('?');
    if (query >= 0)
        target.truncate(query);
    const QString path = QString::fromLatin1(target);
    ++m_requestCounts[path];
    m_lastHeads.insert(path, head);

    const auto it = m_routes.constFind(path);
    if (it != m_routes.constEnd()) {
        answer(socket, *it);
        return;
    }
    Route notFound;
    notFound.status = 404;
    notFound.body = notFoundPage();
    answer(socket, notFound);
}

void TestHttpServer::answer(QTcpSocket *socket, const Route &route)
{
    if (route.kind == Kind::Stall)
        return;
    if (route.kind == Kind::Reset) {
        // A zero linger time makes the close a reset instead of an orderly end.
        const linger reset{1, 0};
        ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        socket->abort();
        return;
    }

    QByteArray head = statusLine(route.status);
    head += "Connection: close\r\n";
    head += route.status >= 300 ? "Content-Type: text/html\r\n"
                                : "Content-Type: application/octet-stream\r\n";
    if (route.kind == Kind::Redirect)
        head += "Location: " + route.location + "\r\n";

    if (route.kind == Kind::Drop) {
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n\r\n";
        socket->write(head);
        socket->write(route.body.left(static_cast<int>(route.sentBytes)));
    } else if (route.framing == Framing::Chunked) {
        head += "Transfer-Encoding: chunked\r\n\r\n";
        socket->write(head);
        for (qint64 at = 0; at < route.body.size(); at += ChunkBytes) {
            const QByteArray chunk = route.body.mid(static_cast<int>(at),
                                                    static_cast<int>(ChunkBytes));
            socket->write(QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n");
        }
        socket->write("0\r\n\r\n");
    } else {
        if (route.framing == Framing::ContentLength)
            head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
        head += "\r\n";
        socket->write(head);
        socket->write(route.body);
    }
    // Closes once everything written has gone out.
    socket->disconnectFromHost();
}
