#include "network/NetworkMessages.h"

#include "platform/Integers.h"
#include "settings/Localization.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <array>
#include <limits>
#include <utility>

namespace {

using Operation = NetworkRequest::Operation;
using Failure = NetworkAnswer::Failure;

constexpr std::array operations{
    std::pair{Operation::post, "post"},
    std::pair{Operation::get, "get"},
    std::pair{Operation::download, "download"},
    std::pair{Operation::verify, "verify"},
};
constexpr std::array failures{
    std::pair{Failure::none, "none"},
    std::pair{Failure::tooLarge, "tooLarge"},
    std::pair{Failure::insecureRedirect, "insecureRedirect"},
    std::pair{Failure::timedOut, "timedOut"},
    std::pair{Failure::network, "network"},
    std::pair{Failure::cannotWrite, "cannotWrite"},
    std::pair{Failure::helper, "helper"},
};

// Room for everything of an answer but its body.
constexpr qint64 answerOverhead = 64 << 10;
// The longest a request may wait for nothing to move: a day.
constexpr qint64 longestTimeoutMs = qint64(24) * 3600 * 1000;

template <typename Enum, std::size_t count>
QString nameOf(const std::array<std::pair<Enum, const char*>, count>& names, Enum value) {
    for (const auto& [each, name] : names) {
        if (each == value)
            return QString::fromLatin1(name);
    }
    return {};
}

template <typename Enum, std::size_t count>
std::optional<Enum> valueOf(const std::array<std::pair<Enum, const char*>, count>& names,
                            const QJsonValue& name) {
    for (const auto& [each, text] : names) {
        if (name.isString() && name.toString() == QLatin1String(text))
            return each;
    }
    return std::nullopt;
}

std::optional<qint64> wholeNumber(const QJsonValue& value, qint64 least, qint64 most) {
    if (!value.isDouble())
        return std::nullopt;
    const auto number = Integers::exact(value.toVariant());
    if (!number || *number < least || *number > most)
        return std::nullopt;
    return number;
}

std::optional<QByteArray> base64(const QJsonValue& value) {
    if (!value.isString())
        return std::nullopt;
    auto result = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                 QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return result.decoded;
}

// The object of a message of this version, when `text` is one and within `cap`.
std::optional<QJsonObject> versioned(const QByteArray& text, qint64 cap) {
    if (text.size() > cap)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(text);
    if (!document.isObject() || document.object().value("v") != NetworkMessages::version)
        return std::nullopt;
    return document.object();
}

QString optionalText(const QJsonObject& object, const char* key) {
    return object.value(QLatin1String(key)).toString();
}

} // namespace

NetworkRequest NetworkRequest::posting(const QUrl& url, const QJsonObject& record,
                                       std::chrono::milliseconds timeout) {
    NetworkRequest request;
    request.operation = Operation::post;
    request.url = url;
    request.body = QJsonDocument(record).toJson(QJsonDocument::Compact);
    request.timeout = timeout;
    return request;
}

NetworkAnswer NetworkAnswer::failed(Failure failure, const QString& detail) {
    NetworkAnswer answer;
    answer.failure = failure;
    answer.detail = detail;
    return answer;
}

namespace NetworkMessages {

qint64 maxAnswerBytes(const NetworkRequest& request) {
    const bool bodyAnswered =
        request.operation == Operation::post || request.operation == Operation::get;
    return (bodyAnswered ? (request.limit + 2) / 3 * 4 : 0) + answerOverhead;
}

QByteArray encode(const NetworkRequest& request) {
    QJsonObject object{{"v", version},
                       {"op", nameOf(operations, request.operation)},
                       {"url", request.url.toString(QUrl::FullyEncoded)},
                       {"timeout", qint64(request.timeout.count())},
                       {"limit", request.limit}};
    if (!request.body.isEmpty())
        object.insert("body", QString::fromLatin1(request.body.toBase64()));
    if (!request.path.isEmpty())
        object.insert("path", request.path);
    if (!request.signature.isEmpty())
        object.insert("signature", QString::fromLatin1(request.signature));
    if (!request.publicKey.isEmpty())
        object.insert("key", QString::fromLatin1(request.publicKey));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray encode(const NetworkAnswer& answer) {
    QJsonObject object{{"v", version},
                       {"failure", nameOf(failures, answer.failure)},
                       {"status", answer.status},
                       {"body", QString::fromLatin1(answer.body.toBase64())},
                       {"url", answer.url.toString(QUrl::FullyEncoded)},
                       {"detail", answer.detail},
                       {"limit", answer.limit},
                       {"size", answer.size},
                       {"signed", answer.signatureValid}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<NetworkRequest> decodeRequest(const QByteArray& text) {
    const auto object = versioned(text, maxRequestBytes);
    if (!object)
        return std::nullopt;
    NetworkRequest request;
    const auto operation = valueOf(operations, object->value("op"));
    const auto timeout = wholeNumber(object->value("timeout"), 1, longestTimeoutMs);
    const auto limit = wholeNumber(object->value("limit"), 0, maxRequestBytes << 8);
    const auto body = object->contains("body") ? base64(object->value("body")) : QByteArray();
    if (!operation || !timeout || !limit || !body)
        return std::nullopt;
    request.operation = *operation;
    request.url = QUrl(optionalText(*object, "url"), QUrl::StrictMode);
    request.timeout = std::chrono::milliseconds(*timeout);
    request.limit = *limit;
    request.body = *body;
    request.path = optionalText(*object, "path");
    request.signature = optionalText(*object, "signature").toLatin1();
    request.publicKey = optionalText(*object, "key").toLatin1();
    const bool needsPath =
        request.operation == Operation::download || request.operation == Operation::verify;
    if (needsPath == request.path.isEmpty() ||
        (request.operation != Operation::verify && !request.url.isValid()))
        return std::nullopt;
    return request;
}

std::optional<NetworkAnswer> decodeAnswer(const QByteArray& text, const NetworkRequest& request) {
    const auto object = versioned(text, maxAnswerBytes(request));
    if (!object)
        return std::nullopt;
    const auto failure = valueOf(failures, object->value("failure"));
    const auto status = wholeNumber(object->value("status"), 0, 999);
    const auto body = base64(object->value("body"));
    const auto limit = wholeNumber(object->value("limit"), 0, std::numeric_limits<qint64>::max());
    const auto size = wholeNumber(object->value("size"), -1, std::numeric_limits<qint64>::max());
    if (!failure || !status || !body || body->size() > request.limit || !limit || !size ||
        !object->value("signed").isBool())
        return std::nullopt;
    NetworkAnswer answer;
    answer.failure = *failure;
    answer.status = int(*status);
    answer.body = *body;
    answer.url = QUrl(optionalText(*object, "url"));
    answer.detail = optionalText(*object, "detail").simplified().left(500);
    answer.limit = *limit;
    answer.size = *size;
    answer.signatureValid = object->value("signed").toBool();
    return answer;
}

QString failureReason(const NetworkAnswer& answer) {
    if (answer.failure == Failure::tooLarge)
        return L("network.error.too_large", QLocale().formattedDataSize(answer.limit, 0));
    if (answer.failure == Failure::insecureRedirect)
        return L("network.error.insecure_redirect", answer.detail);
    if (answer.status != 0 && (answer.status < 200 || answer.status > 299))
        return L("network.error.status", answer.status);
    switch (answer.failure) {
    case Failure::none:
        return {};
    case Failure::timedOut:
        return L("network.error.timed_out");
    case Failure::helper:
        return L("network.error.helper");
    default:
        return answer.detail;
    }
}

} // namespace NetworkMessages
