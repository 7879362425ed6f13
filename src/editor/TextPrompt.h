#pragma once

#include <QString>

#include <optional>

class QWidget;

// Asks for a piece of free text in a small modal dialog, prefilled with `initial`. Gives the
// text exactly as typed (possibly empty, spaces kept) when confirmed, nothing when cancelled.
namespace TextPrompt {

std::optional<QString> ask(QWidget* parent, const QString& initial);

} // namespace TextPrompt
