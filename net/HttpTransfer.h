#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

// One synchronous HTTP GET at a time. While a request runs the caller's
// event loop keeps painting but takes no user input, and stateChanged reports
// each step of the transfer as it really happens:
//  0 none, 1 resolving the host, 2 host resolved, 3 connecting, 4 connected,
//  5 sending the request, 6 request sent, 7 receiving the response,
//  8 response received, 9 disconnecting, 10 disconnected, 11 error,
//  12 response completed.
// Typical sequences: a good fetch 1 2 3 4 5 6 7 8 9 10 12 (a literal IP
// address passes through 1 and 2 too); nothing listening 1 2 3 11; a stalled
// server 1 2 3 4 5 6 9 10 11; a connection dropped mid-body 1 ... 10 11; an
// address that is not http or https only 11. A redirect runs 3 to 10 again
// for its new connection (1 and 2 as well when the host:port is new).
// Cancelled requests report neither 11 nor 12.
class HttpTransfer : public QObject
{
    Q_OBJECT
public:
    enum class Result { Ok, Timeout, Error, Cancelled };

    // Bodies larger than this are an error and nothing of them is returned.
    static constexpr qint64 MaxBodyBytes = 1024 * 1024;

    explicit HttpTransfer(QObject *parent = nullptr);
    ~HttpTransfer() override;

    // Limit on the whole request, in seconds.
    void setRequestTimeout(int seconds);
    int requestTimeout() const;

    // Fetches url. On Ok, body holds the response body whatever the status
    // (an error page is a body like any other); on any other result it is
    // empty. Only http and https are fetched; redirects are followed only to
    // an address no less safe. Called again from a handler while a request
    // runs, it returns Error at once.
    Result get(const QUrl &url, QByteArray &body);

    // Ends a request still running (from a handler called during get()).
    void cancel();

    // The schemes a redirect from url may lead to: never from https down to http.
    static QString redirectSchemes(const QUrl &url);

    int httpStatus() const;
    QString errorText() const;

signals:
    void stateChanged(int state);

private:
    struct Impl;
    Impl *d;
};
