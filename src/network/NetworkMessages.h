#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

// What the application asks of the network helper (vesperin-network) and what it answers: one
// request and one answer per run, each one JSON object on a pipe, versioned and size-capped so
// that neither side reads without bound whatever the other sends.
struct NetworkRequest {
    enum class Operation {
        // POSTs `body` (JSON) and answers the service's body.
        post,
        // GETs `url` and answers the body.
        get,
        // Writes what `url` answers into the file `path`, at most `limit` bytes, and answers its
        // size and whether `signature` signs it by `publicKey`.
        download,
        // Answers the size of the file `path` and whether `signature` signs it.
        verify,
    };

    Operation operation = Operation::get;
    QUrl url;
    QByteArray body;
    // The exchange gives up when nothing has moved for this long.
    std::chrono::milliseconds timeout{10000};
    // The largest answer (or file) accepted; the service's answers are a few hundred bytes.
    static constexpr qint64 defaultLimit = 1 << 20;
    qint64 limit = defaultLimit;
    QString path;
    // Base64 of an Ed25519 signature and of the raw public key that must have made it.
    QByteArray signature;
    QByteArray publicKey;

    // A POST of `record` as compact JSON.
    static NetworkRequest posting(const QUrl& url, const QJsonObject& record,
                                  std::chrono::milliseconds timeout);
    bool operator==(const NetworkRequest&) const = default;
};

struct NetworkAnswer {
    enum class Failure {
        none,
        // The answer went past the request's limit.
        tooLarge,
        // A redirect to an address that is not secure was refused; `detail` names it.
        insecureRedirect,
        timedOut,
        // The network's own error, in `detail`.
        network,
        // The file could not be written or read.
        cannotWrite,
        // The helper could not run, or ended without an answer in form.
        helper,
    };

    Failure failure = Failure::none;
    // The HTTP status, 0 when none was received.
    int status = 0;
    // The answer's body, whatever its status; empty after a failure that cut it off.
    QByteArray body;
    // The address that answered, after redirects.
    QUrl url;
    QString detail;
    qint64 limit = 0;
    // For download and verify: the file's size, and whether the signature verified.
    qint64 size = -1;
    bool signatureValid = false;

    static NetworkAnswer failed(Failure failure, const QString& detail = {});
    bool operator==(const NetworkAnswer&) const = default;
};

namespace NetworkMessages {

inline constexpr int version = 1;
// A request carries a report at most; a larger one is refused before the helper starts.
inline constexpr qint64 maxRequestBytes = qint64(4) << 20;

// The largest answer text `request` can call for: its body in Base64 and room for the rest.
qint64 maxAnswerBytes(const NetworkRequest& request);

QByteArray encode(const NetworkRequest& request);
QByteArray encode(const NetworkAnswer& answer);
// Absent for anything but an object of this version with every field in form: an unknown
// operation, a body that is not Base64, a time-out or limit that is not a positive whole
// number, text past the caps.
std::optional<NetworkRequest> decodeRequest(const QByteArray& text);
std::optional<NetworkAnswer> decodeAnswer(const QByteArray& text, const NetworkRequest& request);

// Why an exchange brought no usable answer, in one line for the user: an answer past its cap,
// a redirect refused, a status other than success (2xx), a time-out, the network's own error,
// a helper that did not run; empty when it succeeded.
QString failureReason(const NetworkAnswer& answer);

} // namespace NetworkMessages
