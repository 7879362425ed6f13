#include "statusline/ClickEvents.h"

#include "platform/Integers.h"
#include "statusline/Logging.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cstdlib>

namespace {

// A button or a screen position: a whole number of sane size.
std::optional<int> wholeNumber(const QJsonValue& value) {
    const auto number = value.isDouble() ? Integers::exact(value.toVariant()) : std::nullopt;
    if (!number || std::abs(*number) > 1'000'000)
        return std::nullopt;
    return int(*number);
}

std::optional<ClickEvent> refused(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return std::nullopt;
}

} // namespace

std::optional<ClickEvent> ClickEvent::parse(const QByteArray& line, QString* why) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError)
        return refused(why, "not JSON: " + error.errorString());
    if (!document.isObject())
        return refused(why, QStringLiteral("not a JSON object"));
    const QJsonObject object = document.object();
    const auto button = wholeNumber(object.value("button"));
    if (!button)
        return refused(why, QStringLiteral("no whole-number button"));
    ClickEvent click;
    click.button = *button;
    click.name = object.value("name").toString();
    const auto x = wholeNumber(object.value("x"));
    const auto y = wholeNumber(object.value("y"));
    if (x && y)
        click.at = QPoint(*x, *y);
    return click;
}

QStringList ClickEvent::openArguments() const {
    const QStringList place =
        at ? QStringList{QString("--at=%1,%2").arg(at->x()).arg(at->y())} : QStringList();
    switch (button) {
    case 1:
        return QStringList{"--open=panel"} + place;
    case 3:
        return QStringList{"--open=menu"} + place;
    case 4: // the wheel turned away from the user
        return {"--scroll=1"};
    case 5:
        return {"--scroll=-1"};
    default:
        return {};
    }
}

ClickReader::ClickReader(std::function<void(const ClickEvent&)> clicked)
    : m_clicked(std::move(clicked)) {}

void ClickReader::feed(const QByteArray& bytes) {
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', from);
        const qsizetype stop = end < 0 ? bytes.size() : end;
        if (!m_skipping) {
            m_line.append(bytes.constData() + from, stop - from);
            if (m_line.size() > maxLine) {
                qCWarning(lcStatusLine)
                    << "A click event longer than" << maxLine << "bytes was ignored";
                m_line.clear();
                m_line.squeeze();
                m_skipping = true;
            }
        }
        if (end < 0)
            return;
        if (!m_skipping)
            lineEnded(std::exchange(m_line, QByteArray()));
        m_skipping = false;
        from = end + 1;
    }
}

void ClickReader::lineEnded(const QByteArray& line) {
    QByteArray event = line.trimmed();
    if (event.startsWith(','))
        event = event.mid(1).trimmed();
    if (event.isEmpty() || event == "[")
        return; // the opening of the endless array
    QString why;
    if (const auto click = ClickEvent::parse(event, &why))
        m_clicked(*click);
    else
        qCWarning(lcStatusLine) << "A click event was ignored:" << why;
}
