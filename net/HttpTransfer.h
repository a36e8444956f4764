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
    // (an error page is a body like any other). Only http and https are
    // fetched; redirects are followed only to an address no less safe.
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
