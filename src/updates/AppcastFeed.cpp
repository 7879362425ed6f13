#include "updates/AppcastFeed.h"

#include "settings/Localization.h"
#include "updates/Logging.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>

namespace {

bool isPlain(const QXmlStreamReader& xml, QLatin1StringView name) {
    return xml.namespaceUri().isEmpty() && xml.name() == name;
}

bool isSparkle(const QXmlStreamReader& xml, QLatin1StringView name) {
    return xml.namespaceUri() == QLatin1StringView(AppcastFeed::sparkleNamespace) &&
           xml.name() == name;
}

QString sparkleAttribute(const QXmlStreamAttributes& attributes, QLatin1StringView name) {
    return attributes.value(QLatin1StringView(AppcastFeed::sparkleNamespace), name)
        .toString()
        .trimmed();
}

QString textOf(QXmlStreamReader& xml) {
    return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
}

// A page a browser may be asked to open: http or https only, so a feed can never make the
// application open a local file or another scheme's handler.
QUrl pageAddress(const QString& text, const QUrl& feedUrl) {
    if (text.isEmpty())
        return {};
    const QUrl url = feedUrl.resolved(QUrl(text));
    const QString scheme = url.scheme().toLower();
    const bool web = scheme == "http" || scheme == "https";
    return url.isValid() && web && !url.host().isEmpty() ? url : QUrl();
}

// The description as HTML source. RSS carries HTML as text (in CDATA or with escaped
// brackets); some feeds write XHTML elements straight into it instead, whose tags are put
// back and whose text is escaped again, so both forms read alike.
QString descriptionMarkup(QXmlStreamReader& xml) {
    QString markup;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            markup += u'<' + xml.name().toString() + u'>';
            break;
        case QXmlStreamReader::EndElement:
            if (--depth > 0)
                markup += "</" + xml.name().toString() + u'>';
            break;
        case QXmlStreamReader::Characters:
            markup += depth == 1 ? xml.text().toString() : xml.text().toString().toHtmlEscaped();
            break;
        default:
            break;
        }
    }
    return markup;
}

QString notesOf(QXmlStreamReader& xml) {
    if (sparkleAttribute(xml.attributes(), QLatin1StringView("format")) == "plain-text")
        return textOf(xml);
    return AppcastFeed::plainText(descriptionMarkup(xml));
}

struct Enclosure {
    QUrl url;
    qint64 length = -1;
    QByteArray signature;
    QString version;
    QString shortVersion;
};

// An item as written, before it is judged.
struct ItemElements {
    AppcastItem item;
    QString version;
    QString shortVersion;
    QUrl link;
    QUrl notesLink;
    bool anyEnclosure = false;
    // The first enclosure for this system.
    std::optional<Enclosure> enclosure;
    bool namedChannel = false;
    bool hasNotes = false;
};

Enclosure readEnclosure(const QXmlStreamAttributes& attributes, const QUrl& feedUrl) {
    bool whole = false;
    const qint64 length = attributes.value("length").trimmed().toLongLong(&whole);
    const QString url = attributes.value("url").trimmed().toString();
    return {url.isEmpty() ? QUrl() : feedUrl.resolved(QUrl(url)), whole && length > 0 ? length : -1,
            sparkleAttribute(attributes, QLatin1StringView("edSignature")).toLatin1(),
            sparkleAttribute(attributes, QLatin1StringView("version")),
            sparkleAttribute(attributes, QLatin1StringView("shortVersionString"))};
}

bool isForThisSystem(const QXmlStreamAttributes& attributes) {
    const QString os = sparkleAttribute(attributes, QLatin1StringView("os"));
    return os.isEmpty() || os.compare("linux", Qt::CaseInsensitive) == 0;
}

ItemElements readItem(QXmlStreamReader& xml, const QUrl& feedUrl) {
    ItemElements read;
    while (xml.readNextStartElement()) {
        if (isPlain(xml, QLatin1StringView("title"))) {
            read.item.title = textOf(xml).simplified();
        } else if (isPlain(xml, QLatin1StringView("link"))) {
            read.link = pageAddress(textOf(xml), feedUrl);
        } else if (isPlain(xml, QLatin1StringView("description")) && !read.hasNotes) {
            read.item.notes = notesOf(xml);
            read.hasNotes = true;
        } else if (isPlain(xml, QLatin1StringView("enclosure"))) {
            read.anyEnclosure = true;
            if (!read.enclosure && isForThisSystem(xml.attributes()))
                read.enclosure = readEnclosure(xml.attributes(), feedUrl);
            xml.skipCurrentElement();
        } else if (isSparkle(xml, QLatin1StringView("version"))) {
            read.version = textOf(xml);
        } else if (isSparkle(xml, QLatin1StringView("shortVersionString"))) {
            read.shortVersion = textOf(xml);
        } else if (isSparkle(xml, QLatin1StringView("releaseNotesLink"))) {
            read.notesLink = pageAddress(textOf(xml), feedUrl);
        } else if (isSparkle(xml, QLatin1StringView("channel"))) {
            read.namedChannel = !textOf(xml).isEmpty();
        } else {
            xml.skipCurrentElement();
        }
    }
    return read;
}

// The release an item announces, unless it is not for us or cannot be compared. The
// enclosure's version attributes come first, as the macOS updater reads them.
std::optional<AppcastItem> releaseOf(ItemElements read) {
    if (read.namedChannel || (read.anyEnclosure && !read.enclosure))
        return std::nullopt;
    AppcastItem item = std::move(read.item);
    const Enclosure enclosure = read.enclosure.value_or(Enclosure());
    item.version = enclosure.version.isEmpty() ? read.version : enclosure.version;
    item.shortVersion =
        enclosure.shortVersion.isEmpty() ? read.shortVersion : enclosure.shortVersion;
    if (!AppcastFeed::isVersion(item.version)) {
        qCDebug(lcUpdates, "A feed item without a version of dotted numbers (\"%s\") is ignored",
                qPrintable(item.version));
        return std::nullopt;
    }
    item.page = read.link.isEmpty() ? read.notesLink : read.link;
    item.enclosure = enclosure.url;
    item.length = enclosure.length;
    item.edSignature = enclosure.signature;
    return item;
}

void readChannel(QXmlStreamReader& xml, const QUrl& feedUrl, QList<AppcastItem>& items) {
    QUrl channelLink;
    while (xml.readNextStartElement()) {
        if (isPlain(xml, QLatin1StringView("item"))) {
            if (auto item = releaseOf(readItem(xml, feedUrl)))
                items.append(std::move(*item));
        } else if (isPlain(xml, QLatin1StringView("link"))) {
            channelLink = pageAddress(textOf(xml), feedUrl);
        } else {
            xml.skipCurrentElement();
        }
    }
    for (AppcastItem& item : items) {
        if (item.page.isEmpty())
            item.page = channelLink;
    }
}

// The significant digits of the `index`th number of a version; empty for 0 or a missing one.
QStringView number(const QStringList& numbers, qsizetype index) {
    if (index >= numbers.size())
        return {};
    QStringView digits = numbers.at(index);
    while (digits.startsWith(u'0'))
        digits = digits.mid(1);
    return digits;
}

// Where the character reference at `start` has its ';' ("&amp;", "&#233;", "&#xE9;"); -1
// when no reference starts there.
qsizetype referenceEnd(QStringView text, qsizetype start) {
    if (text.at(start) != u'&')
        return -1;
    const qsizetype nameStart = start + (text.sliced(start + 1).startsWith(u'#') ? 2 : 1);
    qsizetype i = nameStart;
    while (i < text.size() && i - start <= 12 && text.at(i).unicode() < 128 &&
           text.at(i).isLetterOrNumber())
        ++i;
    return i < text.size() && text.at(i) == u';' && i > nameStart ? i : -1;
}

// Character references of HTML text. Unknown names are left as written; a numeric reference
// to something that is not a character becomes the replacement character.
QString decodeReferences(QStringView text) {
    static const QHash<QString, QString> named = {
        {"amp", "&"},         {"lt", "<"},          {"gt", ">"},          {"quot", "\""},
        {"apos", "'"},        {"nbsp", "\u00A0"},   {"mdash", "\u2014"},  {"ndash", "\u2013"},
        {"hellip", "\u2026"}, {"lsquo", "\u2018"},  {"rsquo", "\u2019"},  {"ldquo", "\u201C"},
        {"rdquo", "\u201D"},  {"bull", "\u2022"},   {"middot", "\u00B7"}, {"copy", "\u00A9"},
        {"reg", "\u00AE"},    {"trade", "\u2122"},  {"laquo", "\u00AB"},  {"raquo", "\u00BB"},
        {"eacute", "\u00E9"}, {"egrave", "\u00E8"}, {"agrave", "\u00E0"}, {"ccedil", "\u00E7"},
    };
    QString decoded;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype end = referenceEnd(text, i);
        if (end < 0) {
            decoded += text.at(i++);
            continue;
        }
        const QStringView name = text.sliced(i + 1, end - i - 1);
        if (name.startsWith(u'#')) {
            const bool hex = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X');
            bool ok = false;
            const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            const bool character =
                ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
            const char32_t shown = character ? char32_t(code) : U'\uFFFD';
            decoded += QString::fromUcs4(&shown, 1);
        } else if (const auto it = named.constFind(name.toString()); it != named.cend()) {
            decoded += *it;
        } else {
            decoded += text.sliced(i, end - i + 1);
        }
        i = end + 1;
    }
    return decoded;
}

bool isHtmlSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Plain text built the way a browser lays the fragment out, without drawing it.
class TextLayout {
public:
    void addText(QStringView source) {
        for (const QChar c : decodeReferences(source)) {
            if (isHtmlSpace(c))
                m_space = true;
            else
                put(c);
        }
    }
    // `lines` 1 ends the line, 2 leaves an empty line; breaks in a row do not add up, except
    // line breaks (<br>), of which two make an empty line.
    void breakLines(int lines, bool accumulate = false) {
        m_breaks = accumulate ? std::min(m_breaks + lines, 2) : std::max(m_breaks, lines);
    }
    void startListItem() {
        breakLines(1);
        m_bullet = true;
    }
    QString text() const { return m_text; }

private:
    void put(QChar c) {
        if (!m_text.isEmpty()) {
            if (m_breaks > 0)
                m_text += QString(m_breaks, u'\n');
            else if (m_space)
                m_text += u' ';
        }
        m_breaks = 0;
        m_space = false;
        if (m_bullet)
            m_text += u"\u2022 ";
        m_bullet = false;
        m_text += c;
    }

    QString m_text;
    int m_breaks = 0;
    bool m_space = false;
    bool m_bullet = false;
};

struct Tag {
    enum Kind { Opening, Closing, Declaration, Comment, Text } kind = Text;
    QString name;
};

// What a '<' at `open` starts: a tag (its lower-case name), a comment, a declaration or
// processing instruction, or only a character of the text ("a < b").
Tag tagAt(QStringView html, qsizetype open) {
    const QStringView rest = html.sliced(open + 1);
    if (rest.startsWith(u"!--"))
        return {Tag::Comment, {}};
    if (rest.startsWith(u'!') || rest.startsWith(u'?'))
        return {Tag::Declaration, {}};
    const bool closing = rest.startsWith(u'/');
    const QStringView afterSlash = rest.sliced(closing ? 1 : 0);
    const auto isLetter = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    // A tag's name is a letter, then letters and digits: "<3" is text.
    if (afterSlash.isEmpty() || !isLetter(afterSlash.front()))
        return {Tag::Text, {}};
    qsizetype length = 1;
    while (length < afterSlash.size() &&
           (isLetter(afterSlash.at(length)) ||
            (afterSlash.at(length) >= u'0' && afterSlash.at(length) <= u'9')))
        ++length;
    return {closing ? Tag::Closing : Tag::Opening, afterSlash.first(length).toString().toLower()};
}

void applyTag(TextLayout& layout, const Tag& tag) {
    const QString& name = tag.name;
    const bool closing = tag.kind == Tag::Closing;
    static const QStringList paragraphs = {"p",  "h1", "h2", "h3",         "h4",    "h5", "h6",
                                           "ul", "ol", "dl", "blockquote", "table", "pre"};
    static const QStringList lines = {"div", "tr", "dt", "dd", "li", "hr", "section"};
    if (name == "br")
        layout.breakLines(1, true);
    else if (name == "li" && !closing)
        layout.startListItem();
    else if (paragraphs.contains(name))
        layout.breakLines(2);
    else if (lines.contains(name))
        layout.breakLines(1);
}

// Where a tag starting at `start` ('<') ends: after its '>', quoted attribute values
// included; the end of the text for a tag left open.
qsizetype tagEnd(QStringView html, qsizetype start) {
    QChar quote;
    for (qsizetype i = start + 1; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
    }
    return html.size();
}

// Past the end of the element whose content is not shown (a script, a style).
qsizetype hiddenContentEnd(QStringView html, qsizetype from, const QString& name) {
    const qsizetype closing = html.indexOf(QString("</" + name), from, Qt::CaseInsensitive);
    return closing < 0 ? html.size() : tagEnd(html, closing);
}

} // namespace

namespace AppcastFeed {

Reading read(const QByteArray& bytes, const QUrl& feedUrl) {
    QXmlStreamReader xml(bytes);
    Reading reading;
    if (xml.readNextStartElement()) {
        if (!isPlain(xml, QLatin1StringView("rss")))
            return {{}, L("update.error.not_a_feed")};
        while (xml.readNextStartElement()) {
            if (isPlain(xml, QLatin1StringView("channel")))
                readChannel(xml, feedUrl, reading.items);
            else
                xml.skipCurrentElement();
        }
    }
    // Read to the end: a feed cut short or with garbage after its items is no feed.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return {{}, L("update.error.malformed", xml.lineNumber(), xml.errorString().simplified())};
    return reading;
}

UpdateCheck check(const QByteArray& xml, const QUrl& feedUrl, const QString& currentVersion) {
    const Reading reading = read(xml, feedUrl);
    if (!reading.error.isEmpty())
        return UpdateCheck::failed(reading.error);
    const auto newest = std::max_element(
        reading.items.cbegin(), reading.items.cend(),
        [](const auto& a, const auto& b) { return compareVersions(a.version, b.version) < 0; });
    if (newest != reading.items.cend() && compareVersions(newest->version, currentVersion) > 0)
        return UpdateCheck::newer(*newest);
    return UpdateCheck::upToDate();
}

bool isVersion(const QString& version) {
    static const QRegularExpression dotted("^[0-9]+(\\.[0-9]+)*$");
    return dotted.match(version).hasMatch();
}

int compareVersions(const QString& a, const QString& b) {
    const QStringList first = a.trimmed().split(u'.');
    const QStringList second = b.trimmed().split(u'.');
    for (qsizetype i = 0; i < std::max(first.size(), second.size()); ++i) {
        const QStringView x = number(first, i);
        const QStringView y = number(second, i);
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        if (const int order = x.compare(y))
            return order < 0 ? -1 : 1;
    }
    return 0;
}

QString plainText(const QString& html) {
    TextLayout layout;
    const QStringView source(html);
    qsizetype i = 0;
    while (i < source.size()) {
        const qsizetype open = source.indexOf(u'<', i);
        layout.addText(source.sliced(i, (open < 0 ? source.size() : open) - i));
        if (open < 0)
            break;
        const Tag tag = tagAt(source, open);
        if (tag.kind == Tag::Text) {
            layout.addText(u"<");
            i = open + 1;
        } else if (tag.kind == Tag::Comment) {
            const qsizetype end = source.indexOf(u"-->", open + 4);
            i = end < 0 ? source.size() : end + 3;
        } else {
            i = tagEnd(source, open);
            if (tag.kind == Tag::Opening && (tag.name == "script" || tag.name == "style"))
                i = hiddenContentEnd(source, i, tag.name);
            else
                applyTag(layout, tag);
        }
    }
    return layout.text();
}

} // namespace AppcastFeed
