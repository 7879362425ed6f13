#include "updates/AppcastFeed.h"

#include "settings/Localization.h"

#include <gtest/gtest.h>

namespace {

using Outcome = UpdateCheck::Outcome;

const QUrl feedUrl("https://updates.example.org/vesperin/appcast.xml");

QByteArray feed(const QByteArray& channel) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Vesperin</title>)" +
           channel + "</channel></rss>";
}

QByteArray release(const QByteArray& version, const QByteArray& title = "") {
    return R"(<item><title>)" + title +
           R"(</title><enclosure url="f" length="1" sparkle:version=")" + version + R"("/></item>)";
}

TEST(AppcastFeedTest, ReadsEachReleaseWithItsFileNotesAndPage) {
    const AppcastFeed::Reading reading = AppcastFeed::read(feed(R"(
<item>
  <title>Version 2.1</title>
  <link>https://example.org/download</link>
  <description><![CDATA[<h2>New</h2><ul><li>Week numbers</li><li>Faster &amp; lighter</li></ul>]]></description>
  <description>A second description is not read</description>
  <enclosure url="files/Vesperin-2.1.AppImage" length="1234" type="application/octet-stream"
     sparkle:version="210" sparkle:shortVersionString="2.1" sparkle:edSignature=" c2ln "/>
</item>
<item>
  <sparkle:version>200</sparkle:version>
  <sparkle:shortVersionString>2.0</sparkle:shortVersionString>
  <sparkle:releaseNotesLink>https://example.org/notes/2.0</sparkle:releaseNotesLink>
  <description>&lt;p&gt;Escaped &lt;b&gt;HTML&lt;/b&gt;&lt;/p&gt;</description>
</item>
<item>
  <description sparkle:format="plain-text">Plain &lt;text&gt; kept
as written</description>
  <enclosure url="https://example.org/1.9" sparkle:version="190" length="many"/>
</item>
<item>
  <description><p>XHTML &lt;b&gt; text</p></description>
  <link>javascript:alert(1)</link>
  <enclosure sparkle:os="windows" url="w.exe" sparkle:version="180" length="5"/>
  <enclosure sparkle:os="linux" url="l.AppImage" sparkle:version="180" length="6"/>
</item>
<item><title>No version</title><enclosure url="x" length="1"/></item>
<item><enclosure url="x" sparkle:version="3.0beta" length="1"/></item>
<item><enclosure url="x" sparkle:os="windows" sparkle:version="300" length="1"/></item>
<item><sparkle:channel>beta</sparkle:channel><enclosure url="x" sparkle:version="400"/></item>
<link>https://example.org/vesperin</link>)"),
                                                           feedUrl);
    ASSERT_TRUE(reading.error.isEmpty()) << reading.error.toStdString();
    const AppcastItem first{
        .version = "210",
        .shortVersion = "2.1",
        .title = "Version 2.1",
        .notes = "New\n\n\u2022 Week numbers\n\u2022 Faster & lighter",
        .page = QUrl("https://example.org/download"),
        .enclosure = QUrl("https://updates.example.org/vesperin/files/Vesperin-2.1.AppImage"),
        .length = 1234,
        .edSignature = "c2ln"};
    ASSERT_EQ(reading.items.size(), 4);
    EXPECT_EQ(reading.items.at(0), first);
    // The next ones, by what each shows: versions as elements, notes in the three other forms,
    // the channel's page for an item without one, the enclosure for this system.
    const auto shown = [&](int i) {
        const AppcastItem& item = reading.items.at(i);
        return QStringList{item.shownVersion(), item.notes, item.page.toString(),
                           item.enclosure.toString(), QString::number(item.length)};
    };
    EXPECT_EQ(shown(1),
              QStringList({"2.0", "Escaped HTML", "https://example.org/notes/2.0", "", "-1"}));
    EXPECT_EQ(shown(2),
              QStringList({"190", "Plain <text> kept\nas written", "https://example.org/vesperin",
                           "https://example.org/1.9", "-1"}));
    EXPECT_EQ(shown(3), QStringList({"180", "XHTML <b> text", "https://example.org/vesperin",
                                     "https://updates.example.org/vesperin/l.AppImage", "6"}));
}

TEST(AppcastFeedTest, TheNewestReleaseIsComparedWithTheRunningVersion) {
    const QByteArray xml = feed(release("1.9") + release("1.10", "first 1.10") +
                                release("1.10.0", "second 1.10") + release("0.9"));
    const UpdateCheck older = AppcastFeed::check(xml, feedUrl, "1.9.5");
    ASSERT_EQ(older.outcome, Outcome::newer);
    EXPECT_EQ(older.update.title, "first 1.10");
    for (const QString current : {"1.10", "1.10.0.0", "2"})
        EXPECT_EQ(AppcastFeed::check(xml, feedUrl, current).outcome, Outcome::upToDate)
            << current.toStdString();
    EXPECT_EQ(AppcastFeed::check(feed(""), feedUrl, "0.1").outcome, Outcome::upToDate);
}

TEST(AppcastFeedTest, WhatIsNotAFeedFailsInOneLine) {
    const QString notXml = "The update feed is not valid XML (line ";
    const QList<std::pair<QByteArray, QString>> cases = {
        {"Not found", notXml},
        {feed(release("2.0")).chopped(10), notXml},
        {feed(release("2.0")) + "<rss/>", notXml},
        {feed("<item></channel>"), notXml},
        {"<atom:rss xmlns:atom='http://www.w3.org/2005/Atom'/>", L("update.error.not_a_feed")},
    };
    for (const auto& [xml, reason] : cases) {
        SCOPED_TRACE(xml.toStdString());
        const UpdateCheck result = AppcastFeed::check(xml, feedUrl, "0.1");
        EXPECT_EQ(result.outcome, Outcome::failed);
        EXPECT_TRUE(result.reason.startsWith(reason)) << result.reason.toStdString();
        EXPECT_FALSE(result.reason.contains('\n'));
    }
}

TEST(AppcastFeedTest, VersionsAreDottedNumbersComparedByValue) {
    const QList<std::tuple<QString, QString, int>> comparisons = {
        {"1.10", "1.9", 1},  {"1.0.0", "1", 0},
        {"01.2", "1.2", 0},  {"0.1.0", "0.1.0.1", -1},
        {"2", "1.99.99", 1}, {"18446744073709551617", "18446744073709551616", 1},
    };
    for (const auto& [a, b, order] : comparisons) {
        EXPECT_EQ(AppcastFeed::compareVersions(a, b), order)
            << a.toStdString() << " " << b.toStdString();
        EXPECT_EQ(AppcastFeed::compareVersions(b, a), -order);
    }
    EXPECT_TRUE(AppcastFeed::isVersion("007.1.10"));
    for (const QString text : {"", "1.", "1..2", "2.0b1", "+1", "\u0661.\u0662", "1 .2"})
        EXPECT_FALSE(AppcastFeed::isVersion(text)) << text.toStdString();
}

TEST(AppcastFeedTest, NotesKeepOnlyTheTextAHtmlFragmentShows) {
    const QList<std::pair<QString, QString>> cases = {
        {"<p>One</p><p>Two<br>lines</p><p>Three<br><br>after a gap</p>",
         "One\n\nTwo\nlines\n\nThree\n\nafter a gap"},
        {"<ol>\n  <li>First</li>\n  <li><b>Second</b>   item</li>\n</ol>Done",
         "\u2022 First\n\u2022 Second item\n\nDone"},
        {"<SCRIPT type='a'>x<p></Script >Shown<style>p{}</style><!-- <p>hidden</p> -->", "Shown"},
        {"<a href=\"https://x.org/?a>b\" title='c>d'>link</a> a < b, c<3", "link a < b, c<3"},
        {"&lt;b&gt;not bold&lt;/b&gt; &amp;amp; &#233;&#xE9; &unknown; & &nbsp;x",
         "<b>not bold</b> &amp; \u00E9\u00E9 &unknown; & \u00A0x"},
        {"&#0;&#xD800;&#x110000;<!DOCTYPE html><?xml x?>A<p", "\uFFFD\uFFFD\uFFFDA"},
    };
    for (const auto& [html, text] : cases)
        EXPECT_EQ(AppcastFeed::plainText(html), text) << html.toStdString();
}

} // namespace
