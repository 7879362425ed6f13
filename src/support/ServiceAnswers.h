#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <optional>

// What the support service sends back, read without any network or store: the answer to a
// check and the confirmation of a report. The bodies come from outside, so every reading
// here refuses what it does not recognise instead of guessing.
namespace ServiceAnswers {

struct CheckAnswer {
    qint64 messageId = 0;
    QString ticketState;
    QString message;

    bool operator==(const CheckAnswer&) const = default;
};

// The answer must be a JSON object holding "mid" (integer), "tk" (text) and "msg" (text);
// other members are not read.
std::optional<CheckAnswer> parseCheckAnswer(const QByteArray& body);

// Confirmed: status 200 and a body that is a JSON object holding the boolean true as "ok".
bool isReportConfirmed(int httpStatus, const QByteArray& body);

} // namespace ServiceAnswers
