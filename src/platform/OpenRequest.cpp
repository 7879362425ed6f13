#include "platform/OpenRequest.h"

#include <QStringList>

#include <array>
#include <utility>

namespace {

const std::array<std::pair<OpenRequest::What, const char*>, 6> names{{
    {OpenRequest::What::reopen, "reopen"},
    {OpenRequest::What::panel, "panel"},
    {OpenRequest::What::menu, "menu"},
    {OpenRequest::What::editor, "editor"},
    {OpenRequest::What::settings, "settings"},
    {OpenRequest::What::scroll, "scroll"},
}};

std::optional<OpenRequest::What> named(const QString& name) {
    for (const auto& [what, text] : names) {
        if (name == QLatin1String(text))
            return what;
    }
    return std::nullopt;
}

// A whole number in a sane range for a screen position or a count of months.
std::optional<int> number(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < -100000 || value > 100000)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<OpenRequest::What> OpenRequest::fromName(const QString& name) {
    const auto what = named(name);
    if (what == What::reopen || what == What::scroll)
        return std::nullopt;
    return what;
}

QString OpenRequest::text() const {
    QString line = QLatin1String(names.at(std::size_t(what)).second);
    if (what == What::scroll)
        return line + ' ' + QString::number(steps);
    if (at)
        line += QString(" %1 %2").arg(at->x()).arg(at->y());
    return line;
}

std::optional<OpenRequest> OpenRequest::parse(const QString& text) {
    if (text.size() > maxLength)
        return std::nullopt;
    const QStringList words = text.split(' ');
    const auto what = named(words.first());
    if (!what)
        return std::nullopt;
    OpenRequest request{*what, std::nullopt, 0};
    const bool placed = *what == What::panel || *what == What::menu;
    if (*what == What::scroll) {
        const auto steps = words.size() == 2 ? number(words.at(1)) : std::nullopt;
        if (!steps)
            return std::nullopt;
        request.steps = *steps;
    } else if (placed && words.size() == 3) {
        const auto x = number(words.at(1));
        const auto y = number(words.at(2));
        if (!x || !y)
            return std::nullopt;
        request.at = QPoint(*x, *y);
    } else if (words.size() != 1) {
        return std::nullopt;
    }
    return request;
}
