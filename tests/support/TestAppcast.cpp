#include "support/TestAppcast.h"

namespace TestAppcast {

QByteArray feed(const QByteArray& version, const QByteArray& enclosure) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Vesperin</title><item>
<title>Vesperin )" +
           version + R"(</title>
<link>https://example.org/download</link>
<description><![CDATA[<ul><li>Week numbers in the panel</li><li>Fixes &amp; more</li></ul>]]></description>
<sparkle:version>)" +
           version + "</sparkle:version>\n" + enclosure + "</item></channel></rss>\n";
}

QByteArray feedWithFile(const QByteArray& version, const QByteArray& url, qint64 length,
                        const QByteArray& signature) {
    return feed(version, R"(<enclosure url=")" + url + R"(" length=")" +
                             QByteArray::number(length) + R"(" sparkle:edSignature=")" + signature +
                             R"("/>)");
}

} // namespace TestAppcast
