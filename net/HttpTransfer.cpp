#include "net/HttpTransfer.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <memory>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

using State = HttpTransfer::State;

// Short enough that the window keeps painting and state lines show at once,
// long enough that waiting costs next to no processor time.
constexpr int PumpIntervalMs = 10;
constexpr long MaxRedirects = 5;
constexpr int MaxTimeoutSeconds = 24 * 60 * 60;

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using MultiHandle = std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)>;

void initCurlOnce()
{
    static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
    Q_UNUSED(init);
}

bool isFetchedScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QByteArray userAgent()
{
    return QByteArrayLiteral("Zanbo/") + QByteArray::number(ZANBO_VERSION_MAJOR) + '.'
           + QByteArray::number(ZANBO_VERSION_MINOR) + '.'
           + QByteArray::number(ZANBO_VERSION_PATCH);
}

} // namespace

struct HttpTransfer::Impl
{
    HttpTransfer *q = nullptr;
    int timeoutSeconds = 30;
    qint64 maxBodyBytes = MaxBodyBytes;
    int httpStatus = 0;
    QString errorText;

    // Per request.
    std::atomic<bool> running{false};
    std::atomic<bool> cancelled{false};
    bool tooLarge = false;
    bool connected = false; // a connection of this transfer is open and in use
    bool inHead = false;    // between a status line and the blank line ending its head
    State lastState = State::None;
    QByteArray received;

    void setState(State state)
    {
        lastState = state;
        emit q->stateChanged(state);
    }

    void fail(const QString &text)
    {
        errorText = text;
        setState(State::Error);
    }

    // libcurl calls these on this thread, from inside curl_multi_perform.
    static int onResolverStart(void *, void *, void *user)
    {
        auto *d = static_cast<Impl *>(user);
        d->connected = false;
        d->setState(State::Resolving);
        return d->cancelled ? 1 : 0;
    }

    static curl_socket_t onOpenSocket(void *user, curlsocktype purpose, curl_sockaddr *address)
    {
        auto *d = static_cast<Impl *>(user);
        if (purpose != CURLSOCKTYPE_IPCXN || d->cancelled)
            return CURL_SOCKET_BAD;
        // The first socket of a connection means its address is known; further
        // ones are only more attempts at the same connection.
        if (d->lastState == State::Resolving) {
            d->setState(State::Resolved);
            if (d->cancelled)
                return CURL_SOCKET_BAD;
        }
        if (d->lastState != State::Connecting)
            d->setState(State::Connecting);
        return ::socket(address->family, address->socktype, address->protocol);
    }

    static int onCloseSocket(void *user, curl_socket_t socket)
    {
        auto *d = static_cast<Impl *>(user);
        // A failed connection attempt was never a connection to the server,
        // so only the socket in use reports its disconnection.
        const bool report = d->connected;
        d->connected = false;
        if (report)
            d->setState(State::Disconnecting);
#ifdef Q_OS_WIN
        const int rc = ::closesocket(socket);
#else
        const int rc = ::close(socket);
#endif
        if (report)
            d->setState(State::Disconnected);
        return rc;
    }

    static int onPrereq(void *user, char *, char *, int, int)
    {
        auto *d = static_cast<Impl *>(user);
        d->connected = true;
        d->setState(State::Connected);
        if (d->cancelled)
            return CURL_PREREQFUNC_ABORT;
        d->setState(State::Requesting);
        return d->cancelled ? CURL_PREREQFUNC_ABORT : CURL_PREREQFUNC_OK;
    }

    static int onDebug(CURL *, curl_infotype type, char *, size_t, void *user)
    {
        auto *d = static_cast<Impl *>(user);
        // libcurl shows the request head once it has gone out on the socket.
        if (type == CURLINFO_HEADER_OUT && d->lastState == State::Requesting)
            d->setState(State::RequestSent);
        return 0;
    }

    static size_t onHeader(char *data, size_t size, size_t count, void *user)
    {
        auto *d = static_cast<Impl *>(user);
        const size_t n = size * count;
        const QByteArray line(data, static_cast<int>(n));
        if (line.startsWith("HTTP/")) {
            // A new response head: a redirect, an interim 1xx or the final
            // answer. Whatever body came before it is not this response's.
            d->inHead = true;
            d->received.clear();
            if (d->lastState != State::Receiving)
                d->setState(State::Receiving);
        } else if (d->inHead && (line == "\r\n" || line == "\n")) {
            // Trailers after a chunked body also end in a blank line; they
            // are not a response head.
            d->inHead = false;
            d->setState(State::ResponseReceived);
        }
        return d->cancelled ? 0 : n;
    }

    static size_t onWrite(char *data, size_t size, size_t count, void *user)
    {
        auto *d = static_cast<Impl *>(user);
        const size_t n = size * count;
        if (d->cancelled)
            return 0;
        if (static_cast<qint64>(d->received.size()) + static_cast<qint64>(n) > d->maxBodyBytes) {
            d->tooLarge = true;
            d->received.clear();
            return 0;
        }
        d->received.append(data, static_cast<int>(n));
        return n;
    }

    static int onProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<Impl *>(user)->cancelled ? 1 : 0;
    }

    QString configure(CURL *easy, const QUrl &url, char *errorBuffer);
    CURLcode waitForTransfer(CURLM *multi, CURL *easy);
    Result run(const QUrl &url, QByteArray &body);
    Result finish(CURLcode code, CURL *easy, const char *errorBuffer, QByteArray &body);
};

HttpTransfer::HttpTransfer(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Impl>())
{
    d->q = this;
    initCurlOnce();
}

HttpTransfer::~HttpTransfer() = default;

void HttpTransfer::setRequestTimeout(int seconds)
{
    // No limit at all would let a silent server hold the caller forever.
    d->timeoutSeconds = std::clamp(seconds, 1, MaxTimeoutSeconds);
}

int HttpTransfer::requestTimeout() const
{
    return d->timeoutSeconds;
}

void HttpTransfer::setMaxBodyBytes(qint64 bytes)
{
    d->maxBodyBytes = std::max<qint64>(bytes, 0);
}

qint64 HttpTransfer::maxBodyBytes() const
{
    return d->maxBodyBytes;
}

QString HttpTransfer::redirectSchemes(const QUrl &url)
{
    return url.scheme().toLower() == QLatin1String("https") ? QStringLiteral("https")
                                                            : QStringLiteral("http,https");
}

HttpTransfer::Result HttpTransfer::get(const QUrl &url, QByteArray &body)
{
    body.clear();
    if (d->running) {
        // A handler asked for a second request while one is running; it would
        // overwrite the running request's state, so refuse it and leave that
        // request alone.
        return Result::Error;
    }
    d->httpStatus = 0;
    d->errorText.clear();
    d->running = true;
    d->cancelled = false;
    d->tooLarge = false;
    d->connected = false;
    d->inHead = false;
    d->lastState = State::None;
    d->received.clear();
    const Result result = d->run(url, body);
    d->received.clear();
    d->running = false;
    return result;
}

HttpTransfer::Result HttpTransfer::Impl::run(const QUrl &url, QByteArray &body)
{
    if (!url.isValid() || !isFetchedScheme(url.scheme().toLower()) || url.host().isEmpty()) {
        fail(QStringLiteral("Only http and https addresses are fetched: %1")
                 .arg(url.toDisplayString()));
        return Result::Error;
    }
    // Declared before the handles: libcurl may write to it until they are gone.
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const MultiHandle multi(curl_multi_init(), &curl_multi_cleanup);
    // Declared after multi, so it is cleaned up first.
    const EasyHandle easy(curl_easy_init(), &curl_easy_cleanup);
    if (!multi || !easy) {
        fail(QStringLiteral("The HTTP library could not be started."));
        return Result::Error;
    }
    const QString refused = configure(easy.get(), url, errorBuffer);
    if (!refused.isEmpty()) {
        fail(refused);
        return Result::Error;
    }
    if (curl_multi_add_handle(multi.get(), easy.get()) != CURLM_OK) {
        fail(QStringLiteral("The HTTP library could not be started."));
        return Result::Error;
    }
    const CURLcode code = waitForTransfer(multi.get(), easy.get());
    // With reuse forbidden the connection is closed here at the latest, so
    // its disconnection is reported before get() returns.
    curl_multi_remove_handle(multi.get(), easy.get());
    return finish(code, easy.get(), errorBuffer, body);
}

// Returns why the request must not be made when libcurl refuses an option
// that keeps it safe, and nothing when every such option took effect.
QString HttpTransfer::Impl::configure(CURL *easy, const QUrl &url, char *errorBuffer)
{
    // No account is ever used, so a user name or password in the address is dropped.
    const QByteArray address = url.adjusted(QUrl::RemoveUserInfo).toEncoded();
    const QByteArray redirectProtocols = redirectSchemes(url).toLatin1();
    const QByteArray agent = userAgent();

    const struct
    {
        CURLcode code;
        const char *option;
    } guarded[] = {
        {curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"), "CURLOPT_PROTOCOLS_STR"},
        {curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, redirectProtocols.constData()),
         "CURLOPT_REDIR_PROTOCOLS_STR"},
        {curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBodyBytes)),
         "CURLOPT_MAXFILESIZE_LARGE"},
        {curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutSeconds) * 1000L),
         "CURLOPT_TIMEOUT_MS"},
        {curl_easy_setopt(easy, CURLOPT_MAXREDIRS, MaxRedirects), "CURLOPT_MAXREDIRS"},
    };
    for (const auto &setting : guarded) {
        if (setting.code != CURLE_OK) {
            return QStringLiteral("The HTTP library refused %1 (%2); the request was not made.")
                .arg(QLatin1String(setting.option),
                     QString::fromLatin1(curl_easy_strerror(setting.code)));
        }
    }

    curl_easy_setopt(easy, CURLOPT_URL, address.constData());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.constData());
    curl_easy_setopt(easy, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED));
    // Every request gets its own connection, closed before get() returns, so
    // the disconnection is part of the reported steps.
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);

    curl_easy_setopt(easy, CURLOPT_RESOLVER_START_FUNCTION, &Impl::onResolverStart);
    curl_easy_setopt(easy, CURLOPT_RESOLVER_START_DATA, this);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &Impl::onOpenSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &Impl::onCloseSocket);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Impl::onPrereq);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &Impl::onDebug);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L); // the debug callback needs it; prints nothing
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::onWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Impl::onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    return QString();
}

// Runs the transfer until it ends or is cancelled. The window repaints and
// the state lines show, but no click or key reaches the program meanwhile.
CURLcode HttpTransfer::Impl::waitForTransfer(CURLM *multi, CURL *easy)
{
    for (;;) {
        int stillRunning = 0;
        if (curl_multi_perform(multi, &stillRunning) != CURLM_OK)
            return CURLE_FAILED_INIT;
        int queued = 0;
        while (CURLMsg *msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy)
                return msg->data.result;
        }
        if (cancelled)
            return CURLE_ABORTED_BY_CALLBACK;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (cancelled)
            return CURLE_ABORTED_BY_CALLBACK;
        curl_multi_poll(multi, nullptr, 0, PumpIntervalMs, nullptr);
    }
}

HttpTransfer::Result HttpTransfer::Impl::finish(CURLcode code, CURL *easy, const char *errorBuffer,
                                                QByteArray &body)
{
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    httpStatus = static_cast<int>(status);

    if (cancelled) {
        errorText = QStringLiteral("The request was cancelled.");
        return Result::Cancelled;
    }
    if (code == CURLE_OK) {
        body = received;
        setState(State::Completed);
        return Result::Ok;
    }

    QString text;
    tooLarge = tooLarge || code == CURLE_FILESIZE_EXCEEDED;
    if (tooLarge)
        text = QStringLiteral("The response is larger than %1 bytes.").arg(maxBodyBytes);
    else if (errorBuffer[0] != '\0')
        text = QString::fromLocal8Bit(errorBuffer);
    else
        text = QString::fromLatin1(curl_easy_strerror(code));
    fail(text);
    return code == CURLE_OPERATION_TIMEDOUT ? Result::Timeout : Result::Error;
}

void HttpTransfer::cancel()
{
    if (d->running)
        d->cancelled = true;
}

int HttpTransfer::httpStatus() const
{
    return d->httpStatus;
}

bool HttpTransfer::bodyTooLarge() const
{
    return d->tooLarge;
}

QString HttpTransfer::errorText() const
{
    return d->errorText;
}
