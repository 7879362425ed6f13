#include "service/ServiceAnswers.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

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

std::optional<qint64> exactInteger(const QVariant& value) {
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return value.toLongLong();
    if (value.typeId() != QMetaType::Double)
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || std::fabs(number) >= 9.2e18)
        return std::nullopt;
    return qint64(number);
}

std::optional<CheckAnswer> parseCheckAnswer(const QByteArray& body) {
    const auto object = jsonObject(body);
    if (!object)
        return std::nullopt;
    const auto id = exactInteger(object->value("mid").toVariant());
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
