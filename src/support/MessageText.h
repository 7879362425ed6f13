#pragma once

#include <QDateTime>
#include <QString>

struct ArchivedMessage;

// The texts of the conversation as the messages window and the message alert show them.
namespace MessageText {

// Whose the entry is ("You", or the maker's support) directly followed by when it was
// archived, in the long date and short time of the user's locale and time zone of the moment.
QString header(const ArchivedMessage& message);
QString dateText(const QDateTime& date);

// A text from the service as it is shown: its line breaks (LF, CR LF or CR) become one line
// break each; tabs stay; every other control character, which would draw as nothing or
// disturb the layout, is shown by its visible symbol (U+2400 to U+2421) or, for the C1
// controls, which have none, by the replacement character.
QString shown(const QString& text);

} // namespace MessageText
