#include "support/ServiceAnswers.h"

#include "platform/Integers.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

std::optional<QJsonObject> jsonObject(const QByteArray& body) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace

namespace ServiceAnswers {

std::optional<CheckAnswer> parseCheckAnswer(const QByteArray& body) {
    const auto object = jsonObject(body);
    if (!object)
        return std::nullopt;
    const auto id = Integers::exact(object->value("mid").toVariant());
    const QJsonValue ticket = object->value("tk");
    const QJsonValue message = object->value("msg");
    if (!id || !ticket.isString() || !message.isString())
        return std::nullopt;
    return CheckAnswer{*id, ticket.toString(), message.toString()};
}

bool isReportConfirmed(int httpStatus, const QByteArray& body) {
    if (httpStatus != 200)
        return false;
    const auto object = jsonObject(body);
    return object && object->value("ok").toBool(); // false for anything but a boolean
}

} // namespace ServiceAnswers
