#include "model/MenuBarRenderer.h"

#include "model/TemplateSyntax.h"
#include "platform/Graphemes.h"
#include "platform/IcuString.h"
#include "platform/IsoWeek.h"
#include "platform/SystemContext.h"

#include <QMutex>
#include <QSet>

#include <unicode/smpdtfmt.h>

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The language and zone a piece of template text is rendered in; absent means the current one.
struct Settings {
    std::optional<QString> localeID;
    std::optional<QString> timeZoneID;

    // Absent identifiers are written as a middle dot, so "fr|·" is French in the current zone.
    QString cacheKey() const {
        const QString absent = QStringLiteral(u"\u00B7");
        return localeID.value_or(absent) + u'|' + timeZoneID.value_or(absent);
    }

    // These settings with what an inner part (a part of an item, a block of a part) fixes.
    Settings within(const std::optional<QString>& innerLocaleID,
                    const std::optional<QString>& innerTimeZoneID) const {
        return {innerLocaleID ? innerLocaleID : localeID,
                innerTimeZoneID ? innerTimeZoneID : timeZoneID};
    }

    bool operator==(const Settings&) const = default;
};

Settings settingsOf(const MenuBarPart& part, const MenuBarItem& item) {
    return Settings{item.localeID, item.timeZoneID}.within(part.localeID, part.timeZoneID);
}

// Language identifiers are not checked: ICU falls back on its own data for a language it
// lacks, and on the root locale for an identifier it cannot even parse.
std::unique_ptr<icu::SimpleDateFormat> makeFormatter(icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    auto formatter = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(), locale, status);
    if (U_SUCCESS(status))
        return formatter;
    locale = icu::Locale::getRoot();
    status = U_ZERO_ERROR;
    return std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(), locale, status);
}

// One date formatter with everything else a (language, zone) pair needs. The formatter
// works on a calendar of its own that is set once per instant, so the tokens of one render
// share one computation of the date's fields.
class CachedFormatter {
public:
    explicit CachedFormatter(const Settings& settings)
        : m_locale(SystemContext::localeFor(settings.localeID)) {
        std::unique_ptr<icu::TimeZone> zone = SystemContext::timeZoneFor(settings.timeZoneID);
        icu::UnicodeString zoneID;
        m_zoneID = fromIcu(zone->getID(zoneID));
        m_formatter = makeFormatter(m_locale);
        m_formatter->adoptTimeZone(zone.release());
        m_calendar.reset(m_formatter->getCalendar()->clone());
    }

    QString format(const icu::UnicodeString& pattern, UDate at) {
        setInstant(at);
        // Applying a pattern parses it; most formatters serve one pattern tick after tick.
        if (pattern != m_pattern) {
            m_formatter->applyPattern(pattern);
            m_pattern = pattern;
        }
        icu::UnicodeString text;
        icu::FieldPosition unused;
        m_formatter->format(*m_calendar, text, unused);
        return fromIcu(text);
    }

    int isoWeek(UDate at) {
        if (!m_isoCalendar)
            m_isoCalendar = IsoWeek::calendar(m_calendar->getTimeZone(), m_locale);
        return IsoWeek::weekOfYear(*m_isoCalendar, at);
    }

    const QString& flag() {
        if (!m_flag)
            m_flag = Places::flag(m_zoneID).value_or(QString());
        return *m_flag;
    }

    const QString& city() {
        if (!m_city)
            m_city = Places::cityName(m_zoneID);
        return *m_city;
    }

    const icu::Locale& locale() const { return m_locale; }

private:
    void setInstant(UDate at) {
        if (m_instant == at)
            return;
        UErrorCode status = U_ZERO_ERROR;
        m_calendar->setTime(at, status);
        m_instant = at;
    }

    icu::Locale m_locale;
    QString m_zoneID;
    std::unique_ptr<icu::SimpleDateFormat> m_formatter;
    icu::UnicodeString m_pattern;
    std::unique_ptr<icu::Calendar> m_calendar;
    std::optional<UDate> m_instant;
    std::unique_ptr<icu::Calendar> m_isoCalendar;
    std::optional<QString> m_flag;
    std::optional<QString> m_city;
};

enum class ValueKind { date, flag, city, week };

// A token name looked up once: what gives its value, and whether that value gets a capital.
struct ResolvedToken {
    ValueKind kind = ValueKind::date;
    icu::UnicodeString pattern;
    bool capitalized = false;
};

std::optional<ResolvedToken> exactToken(const QString& name) {
    if (name == u"flag")
        return ResolvedToken{ValueKind::flag, {}, false};
    if (name == u"city")
        return ResolvedToken{ValueKind::city, {}, false};
    if (name == u"week")
        return ResolvedToken{ValueKind::week, {}, false};
    const auto pattern = MenuBarRenderer::patterns().constFind(name);
    if (pattern == MenuBarRenderer::patterns().cend())
        return std::nullopt;
    return ResolvedToken{ValueKind::date, toIcu(*pattern), false};
}

// The token a name in braces stands for: the name itself, else its lower-case form. Absent
// when neither is a token.
std::optional<QString> canonicalTokenName(const QString& name) {
    if (exactToken(name))
        return name;
    const QString lower = name.toLower();
    if (lower != name && exactToken(lower))
        return lower;
    return std::nullopt;
}

// "{Weekday}" is the weekday with a capital first letter, "{WD}" the abbreviated one.
std::optional<ResolvedToken> resolveToken(const QString& name) {
    const auto canonical = canonicalTokenName(name);
    if (!canonical)
        return std::nullopt;
    auto token = exactToken(*canonical);
    token->capitalized = *canonical != name;
    return token;
}

QString valueOf(const ResolvedToken& token, CachedFormatter& formatter, UDate at) {
    QString text;
    switch (token.kind) {
    case ValueKind::date:
        text = formatter.format(token.pattern, at);
        break;
    case ValueKind::flag:
        text = formatter.flag();
        break;
    case ValueKind::city:
        text = formatter.city();
        break;
    case ValueKind::week:
        text = QString::number(formatter.isoWeek(at));
        break;
    }
    return token.capitalized ? Graphemes::upperCaseFirst(text, formatter.locale()) : text;
}

// Text with its tokens looked up: literal runs, and tokens to fill in. Unknown names are
// literal text, braces included.
struct Step {
    QString literal;
    std::optional<ResolvedToken> token;
};
using Program = std::vector<Step>;

void appendLiteral(Program& program, const QString& text) {
    if (text.isEmpty())
        return;
    if (!program.empty() && !program.back().token)
        program.back().literal += text;
    else
        program.push_back({text, std::nullopt});
}

bool isPlainDate(const std::optional<ResolvedToken>& token) {
    return token && token->kind == ValueKind::date && !token->capitalized;
}

// Text quoted so that a date pattern writes it out as it stands. A quote inside the text
// could not be told from the quoting itself ("''''" is two quotes), so such text stays out.
std::optional<icu::UnicodeString> quotedPatternLiteral(const QString& text) {
    if (text.contains(u'\''))
        return std::nullopt;
    return toIcu(u'\'' + text + u'\'');
}

// Date tokens with only literal text between them become one pattern, so "{HH}:{min}:{sec}"
// costs one formatting call rather than three.
void appendToken(Program& program, ResolvedToken token) {
    const size_t size = program.size();
    // Two runs of one pattern letter side by side would read as one wider field ("d" + "dd").
    const bool afterDate = size >= 1 && isPlainDate(program[size - 1].token) &&
                           !program[size - 1].token->pattern.endsWith(token.pattern.charAt(0));
    const bool afterDateAndLiteral =
        size >= 2 && !program[size - 1].token && isPlainDate(program[size - 2].token);
    const auto literal =
        afterDateAndLiteral ? quotedPatternLiteral(program.back().literal) : std::nullopt;
    if (!isPlainDate(token) || !(afterDate || literal)) {
        program.push_back({QString(), std::move(token)});
        return;
    }
    if (literal) {
        program.pop_back();
        program.back().token->pattern += *literal;
    }
    program.back().token->pattern += token.pattern;
}

Program compileTokens(const QString& text) {
    Program program;
    qsizetype from = 0;
    for (const TemplateSyntax::TokenMatch& match : TemplateSyntax::tokenMatches(text)) {
        appendLiteral(program, text.sliced(from, match.start - from));
        if (auto token = resolveToken(match.name))
            appendToken(program, std::move(*token));
        else
            appendLiteral(program, text.sliced(match.start, match.end - match.start));
        from = match.end;
    }
    appendLiteral(program, text.sliced(from));
    return program;
}

// A part's template as blocks and the stretches of text around them: stretch i comes before
// block i, and the last stretch follows the last block.
struct CompiledBlock {
    std::optional<QString> timeZoneID; // only a zone the system knows
    std::optional<QString> localeID;
    Program content;
};
struct Stretch {
    QString text;
    Program program;
};
struct CompiledTemplate {
    std::vector<Stretch> stretches;
    std::vector<CompiledBlock> blocks;
};

CompiledTemplate compileTemplate(const QString& text) {
    CompiledTemplate compiled;
    qsizetype from = 0;
    auto addStretch = [&](const QString& stretch) {
        compiled.stretches.push_back({stretch, compileTokens(stretch)});
    };
    for (const TemplateSyntax::BlockMatch& match : TemplateSyntax::blockMatches(text)) {
        addStretch(text.sliced(from, match.start - from));
        const auto selector = TemplateSyntax::splitSelector(match.selector);
        CompiledBlock block;
        if (!selector.zone.isEmpty() && SystemContext::isKnownTimeZone(selector.zone))
            block.timeZoneID = selector.zone;
        if (!selector.language.isEmpty())
            block.localeID = selector.language;
        block.content = compileTokens(match.content);
        compiled.blocks.push_back(std::move(block));
        from = match.end;
    }
    addStretch(text.sliced(from));
    return compiled;
}

// Whether no token of the second pass can reach into this block output: a token is a brace,
// letters or underscores and a brace, so an output without braces and with some other
// character can neither hold one nor be part of one spanning its neighbours.
bool isInert(const QString& blockOutput) {
    bool hasOtherCharacter = false;
    for (const QChar c : blockOutput) {
        if (c == u'{' || c == u'}')
            return false;
        const bool tokenCharacter =
            (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        hasOtherCharacter = hasOtherCharacter || !tokenCharacter;
    }
    return hasOtherCharacter;
}

// A part's template compiled, with the formatters of its own settings and of each block
// looked up once, so a render per second neither scans its text nor builds cache keys again.
struct BoundTemplate {
    CompiledTemplate compiled;
    CachedFormatter* own = nullptr;
    std::vector<CachedFormatter*> blockFormatters;
};

struct PartKey {
    QString text;
    Settings settings;

    bool operator==(const PartKey&) const = default;
};

struct PartKeyHash {
    size_t operator()(const PartKey& key) const {
        auto hashOf = [](const std::optional<QString>& id) { return id ? qHash(*id) + 1 : 0; };
        return qHashMulti(0, key.text, hashOf(key.settings.localeID),
                          hashOf(key.settings.timeZoneID));
    }
};

class Renderer {
public:
    QMutex mutex;

    // The caller holds the mutex.
    void appendPart(QString& result, const QString& text, const Settings& settings, UDate at) {
        const BoundTemplate& bound = boundTemplate(text, settings);
        const CompiledTemplate& compiled = bound.compiled;
        if (compiled.blocks.empty()) {
            evaluate(result, compiled.stretches.front().program, *bound.own, at);
            return;
        }

        QStringList blockOutputs;
        bool inert = true;
        for (size_t i = 0; i < compiled.blocks.size(); ++i) {
            QString& output = blockOutputs.emplace_back();
            evaluate(output, compiled.blocks[i].content, *bound.blockFormatters[i], at);
            inert = inert && isInert(output);
        }
        // The block outputs then go through the tokens of the part once more, with the text
        // around them. When no output can take part in a token, the stretches' own compiled
        // tokens give the same result as scanning the joined text.
        QString joined;
        QString& out = inert ? result : joined;
        for (size_t i = 0; i < compiled.stretches.size(); ++i) {
            if (inert)
                evaluate(out, compiled.stretches[i].program, *bound.own, at);
            else
                out += compiled.stretches[i].text;
            if (i < size_t(blockOutputs.size()))
                out += blockOutputs.at(i);
        }
        if (!inert)
            evaluate(result, compileTokens(joined), *bound.own, at);
    }

    void evaluate(QString& result, const Program& program, CachedFormatter& formatter, UDate at) {
        for (const Step& step : program)
            result += step.token ? valueOf(*step.token, formatter, at) : step.literal;
    }

    CachedFormatter& formatter(const Settings& settings) {
        const QString key = settings.cacheKey();
        auto found = m_formatters.find(key);
        if (found == m_formatters.end())
            found = m_formatters.emplace(key, std::make_unique<CachedFormatter>(settings)).first;
        return *found->second;
    }

    void forgetFormatters() {
        m_templates.clear();
        m_formatters.clear();
    }

private:
    // The editor produces a new template at every keystroke, so the cache is bounded.
    static constexpr size_t maxCachedTemplates = 512;

    const BoundTemplate& boundTemplate(const QString& text, const Settings& settings) {
        PartKey key{text, settings};
        auto found = m_templates.find(key);
        if (found != m_templates.end())
            return *found->second;
        if (m_templates.size() >= maxCachedTemplates)
            m_templates.clear();
        auto bound = std::make_unique<BoundTemplate>();
        bound->compiled = compileTemplate(text);
        bound->own = &formatter(settings);
        for (const CompiledBlock& block : bound->compiled.blocks)
            bound->blockFormatters.push_back(
                &formatter(settings.within(block.localeID, block.timeZoneID)));
        return *m_templates.emplace(std::move(key), std::move(bound)).first->second;
    }

    std::unordered_map<QString, std::unique_ptr<CachedFormatter>> m_formatters;
    // Points into m_formatters, so the two are cleared together.
    std::unordered_map<PartKey, std::unique_ptr<const BoundTemplate>, PartKeyHash> m_templates;
};

Renderer& renderer() {
    static Renderer instance;
    return instance;
}

UDate udate(const QDateTime& at) {
    return UDate(at.toMSecsSinceEpoch());
}

// The tokens the items' texts show, blocks included, each by the token it stands for: the
// value decides how often the text changes, not the spelling ("{Sec}" shows seconds too).
QSet<QString> shownTokens(const QList<MenuBarItem>& items) {
    QSet<QString> shown;
    for (const MenuBarItem& item : items) {
        for (const MenuBarPart& part : item.effectiveParts()) {
            for (const TemplateSyntax::TokenMatch& match : TemplateSyntax::tokenMatches(part.text))
                if (const auto name = canonicalTokenName(match.name))
                    shown.insert(*name);
        }
    }
    return shown;
}

} // namespace

namespace MenuBarRenderer {

const QList<Token>& tokens() {
    static const QList<Token> list = [] {
        QList<Token> made;
        for (const char* name :
             {"wd", "weekday", "day", "dd",  "mon", "month", "mm",   "m",    "year", "yy", "HH",
              "H",  "hh",      "h",   "min", "sec", "ampm",  "week", "flag", "city", "tz", "utc"})
            made.append({name, QString("token.") + name});
        return made;
    }();
    return list;
}

const QHash<QString, QString>& patterns() {
    static const QHash<QString, QString> table{
        {"wd", "EEE"},     {"weekday", "EEEE"}, {"day", "d"},  {"dd", "dd"},     {"mon", "MMM"},
        {"month", "MMMM"}, {"mm", "MM"},        {"m", "M"},    {"year", "yyyy"}, {"yy", "yy"},
        {"HH", "HH"},      {"H", "H"},          {"hh", "hh"},  {"h", "h"},       {"min", "mm"},
        {"sec", "ss"},     {"ampm", "a"},       {"tz", "zzz"}, {"utc", "x"}};
    return table;
}

QString render(const MenuBarItem& item, const QDateTime& at) {
    Renderer& state = renderer();
    QMutexLocker lock(&state.mutex);
    const QString separator = item.effectiveSeparator();
    QString text;
    bool first = true;
    for (const MenuBarPart& part : item.effectiveParts()) {
        if (!std::exchange(first, false))
            text += separator;
        state.appendPart(text, part.text, settingsOf(part, item), udate(at));
    }
    return text;
}

QString render(const MenuBarPart& part, const MenuBarItem& item, const QDateTime& at) {
    MenuBarItem single = item;
    single.parts = QList<MenuBarPart>{part};
    return render(single, at);
}

std::optional<QString> value(const QString& tokenName, const MenuBarItem& item,
                             const QDateTime& date) {
    const auto token = resolveToken(tokenName);
    if (!token)
        return std::nullopt;
    Renderer& state = renderer();
    QMutexLocker lock(&state.mutex);
    return valueOf(*token, state.formatter({item.localeID, item.timeZoneID}), udate(date));
}

bool usesSeconds(const QList<MenuBarItem>& items) {
    return shownTokens(items).contains(QStringLiteral("sec"));
}

bool usesTime(const QList<MenuBarItem>& items) {
    static const QStringList timeTokens{"HH", "H", "hh", "h", "min", "sec", "ampm"};
    const QSet<QString> shown = shownTokens(items);
    return std::any_of(timeTokens.cbegin(), timeTokens.cend(),
                       [&](const QString& token) { return shown.contains(token); });
}

void resetCache() {
    Renderer& state = renderer();
    QMutexLocker lock(&state.mutex);
    state.forgetFormatters();
}

} // namespace MenuBarRenderer
