#pragma once

#include <QString>

// The editor's unit of a template: a token, a run of literal text, or a ready-made fragment
// from the palette.
struct Chip {
    enum class Kind { token, text, composite };

    Kind kind = Kind::text;
    // The token name without braces, the literal text, or the fragment.
    QString value;

    static Chip token(const QString& name) { return {Kind::token, name}; }
    static Chip text(const QString& literal) { return {Kind::text, literal}; }
    static Chip composite(const QString& fragment) { return {Kind::composite, fragment}; }

    bool operator==(const Chip&) const = default;

    bool isToken() const { return kind == Kind::token; }
    bool isTextChip() const { return kind == Kind::text; }

    // What the chip contributes to a template: "{name}" for a token, the text or fragment
    // itself otherwise.
    QString templateForm() const;
    // What to append to `existing` to add this chip at its end: a token or fragment gets a
    // space before it unless the template is empty or already ends with a space; literal text
    // is appended as it is.
    QString appendedTemplate(const QString& existing) const;
};
