#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

// One synchronous HTTP GET at a time. While a request runs the caller's
// event loop keeps painting but takes no user input, and stateChanged reports
// each step of the transfer as it really happens.
// Typical sequences:
//  - a good fetch: Resolving Resolved Connecting Connected Requesting
//    RequestSent Receiving ResponseReceived Disconnecting Disconnected
//    Completed (a literal IP address passes through Resolving and Resolved too);
//  - nothing listening: Resolving Resolved Connecting Error;
//  - a stalled server: Resolving Resolved Connecting Connected Requesting
//    RequestSent Disconnecting Disconnected Error;
//  - a connection dropped mid-body: Resolving ... Disconnected Error;
//  - an address that is not http or https, or a request libcurl cannot be
//    set up for safely: only Error.
// A redirect runs Connecting to Disconnected again for its new connection
// (Resolving and Resolved as well when the host:port is new). Cancelled
// requests report neither Error nor Completed.
class HttpTransfer : public QObject
{
    Q_OBJECT
public:
    enum class Result { Ok, Timeout, Error, Cancelled };

    // The numbers are what the download dialog shows beside each step.
    enum class State {
        None,
        Resolving,
        Resolved,
        Connecting,
        Connected,
        Requesting,
        RequestSent,
        Receiving,
        ResponseReceived,
        Disconnecting,
        Disconnected,
        Error,
        Completed,
    };
    Q_ENUM(State)

    // Bodies larger than the cap are an error and nothing of them is
    // returned; the cap is MaxBodyBytes unless set otherwise.
    static constexpr qint64 MaxBodyBytes = 1024 * 1024;
    void setMaxBodyBytes(qint64 bytes);
    qint64 maxBodyBytes() const;

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

    // Ends a request still running (from a handler called during get(), or
    // from another thread while get() runs on its own).
    void cancel();

    // The schemes a redirect from url may lead to: never from https down to http.
    static QString redirectSchemes(const QUrl &url);

    int httpStatus() const;
    // Whether the last request failed because its body exceeded MaxBodyBytes.
    bool bodyTooLarge() const;
    QString errorText() const;

signals:
    void stateChanged(HttpTransfer::State state);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
