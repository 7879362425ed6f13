// Feeds bytes to the readers of the support service's answers: the answer to a check and
// the confirmation of a problem report.
#include "FuzzSupport.h"
#include "support/ServiceAnswers.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

void checkCheckAnswer(const QByteArray& body) {
    const auto answer = ServiceAnswers::parseCheckAnswer(body);
    if (!answer)
        return;
    // An answer that was read says all that matters in its three members: the same members
    // written afresh read as the same answer.
    const QJsonObject members{
        {"mid", answer->messageId}, {"tk", answer->ticketState}, {"msg", answer->message}};
    const QByteArray rewritten = QJsonDocument(members).toJson(QJsonDocument::Compact);
    Fuzz::check(ServiceAnswers::parseCheckAnswer(rewritten) == answer,
                "a check answer rewritten from what was read reads the same",
                QString::fromUtf8(rewritten));
}

void checkReportConfirmation(const QByteArray& body) {
    for (int status : {0, 201, 204, 404, 500})
        Fuzz::check(!ServiceAnswers::isReportConfirmed(status, body),
                    "only status 200 confirms a report", QString::number(status));
    if (!ServiceAnswers::isReportConfirmed(200, body))
        return;
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    Fuzz::check(object.value("ok") == QJsonValue(true), "a confirmation says \"ok\": true",
                QString::fromUtf8(body));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray body = Fuzz::bytes(data, size);
    checkCheckAnswer(body);
    checkReportConfirmation(body);
    return 0;
}
