#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

// One release announced by the update feed.
struct AppcastItem {
    // "sparkle:version": dotted numbers, what is compared with the running version.
    QString version{};
    // "sparkle:shortVersionString", what the user is shown; may be empty.
    QString shortVersion{};
    QString title{};
    // The release notes as plain text, never markup.
    QString notes{};
    // Where a person downloads the release (http or https); may be empty.
    QUrl page{};
    // The release's file; empty for a release announced without one.
    QUrl enclosure{};
    // The file's announced size in bytes; -1 when the feed gives none.
    qint64 length = -1;
    // "sparkle:edSignature": the Ed25519 signature of the file, Base64 as the feed writes it.
    QByteArray edSignature{};

    // The short version when there is one, else the version.
    QString shownVersion() const { return shortVersion.isEmpty() ? version : shortVersion; }

    bool operator==(const AppcastItem&) const = default;
};

// What a check for updates found, as the user is told.
struct UpdateCheck {
    enum class Outcome { newer, upToDate, failed };

    Outcome outcome = Outcome::failed;
    // The newest release, when it is newer than the running one.
    AppcastItem update;
    // Why the check failed, in one line.
    QString reason;

    static UpdateCheck newer(const AppcastItem& update) { return {Outcome::newer, update, {}}; }
    static UpdateCheck upToDate() { return {Outcome::upToDate, {}, {}}; }
    static UpdateCheck failed(const QString& reason) { return {Outcome::failed, {}, reason}; }
};

// The update feed in the appcast form: an RSS 2.0 channel whose items carry an <enclosure>
// with attributes of the Sparkle namespace. The feed comes from outside, so the reader takes
// only what it recognises: an item without a version of dotted numbers is passed over, and
// nothing of the notes is ever handed on as markup.
namespace AppcastFeed {

inline constexpr const char* sparkleNamespace =
    "http://www.andymatuschak.org/xml-namespaces/sparkle";

struct Reading {
    // The releases meant for this system, in the feed's order.
    QList<AppcastItem> items;
    // Why the feed could not be read, in one line; empty when it could.
    QString error;
};

// Reads the feed; relative addresses are taken from `feedUrl`. Items of another system
// ("sparkle:os") or of a named channel ("sparkle:channel") are left out.
Reading read(const QByteArray& xml, const QUrl& feedUrl);

// The newest release of the feed (the first of equal versions) against `currentVersion`.
// A feed without releases means up to date.
UpdateCheck check(const QByteArray& xml, const QUrl& feedUrl, const QString& currentVersion);

// Whether `version` is dotted numbers: "2", "1.10", "2.0.1".
bool isVersion(const QString& version);
// Compares two versions number by number, a missing number counting as 0 ("1.0" equals "1"):
// negative, zero or positive. Numbers of any length compare by value.
int compareVersions(const QString& a, const QString& b);

// The text an HTML fragment shows, for release notes: tags dropped (scripts and styles with
// their content), paragraphs, headings and list items on lines of their own, list items
// marked with a bullet, character references decoded, white space collapsed as a browser
// does.
QString plainText(const QString& html);

} // namespace AppcastFeed
