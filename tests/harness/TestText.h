#pragma once

#include "model/Chip.h"
#include "model/MenuBarItem.h"

#include <QString>
#include <QStringList>

#include <ostream>

// The flag of a two-letter country code, written out the long way for expectations.
QString flagOf(const char* code);

// QStrings in expectations and messages print as text rather than as arrays of UTF-16 units.
std::ostream& operator<<(std::ostream& out, const QString& text);

// Chips print as their kind and string, e.g. token "HH".
void PrintTo(const Chip& chip, std::ostream* out);

// Parts without zone or language, from their texts; and the texts of parts.
QList<MenuBarPart> partsOf(const QStringList& texts);
QStringList textsOf(const QList<MenuBarPart>& parts);

// An enabled item with an id of its own: of one template, or of such parts.
MenuBarItem itemOf(const QString& text, const std::optional<QString>& zone = std::nullopt,
                   const std::optional<QString>& language = std::nullopt);
MenuBarItem partsItem(const QStringList& texts);
