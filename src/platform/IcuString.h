#pragma once

#include <QString>

#include <unicode/unistr.h>

// QString and ICU both hold UTF-16, so text crosses between them without re-encoding and
// positions stay the same code units on both sides.
inline icu::UnicodeString toIcu(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const char16_t*>(text.utf16()),
                              int32_t(text.size()));
}

inline QString fromIcu(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}
