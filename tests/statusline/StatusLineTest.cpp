#include "statusline/StatusLine.h"

#include "harness/FakeClock.h"
#include "harness/TestProfile.h"
#include "model/MenuBarLayout.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Format = StatusLineFormat::Format;

MenuBarItem item(const QString& templateText) {
    return {QUuid::createUuid(), true, templateText};
}

// The line as the bar reads it: one JSON value, the i3bar format's separating comma aside.
QJsonDocument parsed(QByteArray line) {
    if (line.startsWith(','))
        line.remove(0, 1);
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(line, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
    return document;
}

class StatusLineTest : public ProfileTest {
protected:
    // A status line in `format` whose output is kept line by line, with the time each came.
    std::unique_ptr<StatusLine> lineIn(Format format) {
        auto line = std::make_unique<StatusLine>(
            format, settings, layout, clock.events(), [this](const QByteArray& bytes) {
                for (const QByteArray& piece : bytes.split('\n')) {
                    if (!piece.isEmpty()) {
                        lines.append(piece);
                        linesAt.append(clock.nowMs());
                    }
                }
                return writable;
            });
        line->start();
        return line;
    }

    FakeClock clock;
    Settings settings{Preferences::standard()};
    MenuBarLayout layout{settings};
    QList<QByteArray> lines;
    QList<qint64> linesAt;
    bool writable = true;
};

// Whatever an item's free text holds (quotes, backslashes, control characters, right-to-left
// text), each format gives the bar exactly the rendered text, the items in layout order.
TEST_F(StatusLineTest, EachFormatWritesTheItemsInOrderWithTheirTextIntact) {
    const QString hostile = QString::fromUtf8("say \"hi\" \\ \x01 tab\t \u05e9\u05dc\u05d5\u05dd");
    const QList<MenuBarItem> items{item(hostile), item("{year}"), item("")};
    layout.setItems(items);
    const QString year = QString::number(clock.now().toLocalTime().date().year());

    {
        const auto line = lineIn(Format::i3bar);
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(parsed(lines.at(0)).object(),
                  (QJsonObject{{"version", 1}, {"click_events", true}}));
        const QJsonArray blocks = parsed(lines.at(2)).array();
        ASSERT_EQ(blocks.size(), 3);
        EXPECT_EQ(blocks.at(0)["full_text"].toString(), hostile);
        EXPECT_EQ(blocks.at(0)["name"].toString(), MenuBarItemCoding::uuidText(items.at(0).id));
        EXPECT_EQ(blocks.at(1)["full_text"].toString(), year);
        EXPECT_EQ(blocks.at(2)["full_text"].toString(), "Vesperin") << "a blank item";
        layout.setItems({items.at(1)});
        ASSERT_EQ(lines.size(), 4);
        EXPECT_EQ(parsed(lines.at(3)).array().size(), 1);
    }
    lines.clear();
    layout.setItems(items);
    {
        const auto line = lineIn(Format::waybar);
        ASSERT_EQ(lines.size(), 1);
        const QJsonObject object = parsed(lines.at(0)).object();
        EXPECT_EQ(object["text"].toString(), hostile + "  " + year + "  Vesperin");
        EXPECT_TRUE(object["tooltip"].toString().contains(year)) << "the month's title";
        EXPECT_EQ(object["class"].toString(), "vesperin");
        // The month is kept between ticks, and worked out again for a new first weekday.
        settings.setFirstWeekday(1);
        ASSERT_EQ(lines.size(), 2);
        EXPECT_NE(parsed(lines.at(1)).object()["tooltip"], object["tooltip"]);
    }
    lines.clear();
    {
        const auto line = lineIn(Format::plain);
        ASSERT_EQ(lines.size(), 1) << "one line, whatever the text holds";
        EXPECT_EQ(QString::fromUtf8(lines.at(0)),
                  QString(hostile).replace('\x01', ' ').replace('\t', ' ') + "  " + year +
                      "  Vesperin");
    }
}

// The month of the tooltip starts on the first weekday and marks today.
TEST_F(StatusLineTest, TheTooltipsMonthMarksTodayFromTheFirstWeekday) {
    const QDateTime sunday(QDate(2026, 3, 1), QTime(12, 0)); // a Sunday
    const QStringList monday = StatusLineFormat::monthText(sunday, 2).split('\n');
    EXPECT_EQ(monday.at(0), "March 2026");
    EXPECT_EQ(monday.at(1).simplified(), "MO TU WE TH FR SA SU");
    EXPECT_EQ(monday.at(2).simplified(), "[1]");
    const QStringList sundayFirst = StatusLineFormat::monthText(sunday, 1).split('\n');
    EXPECT_EQ(sundayFirst.at(1).simplified(), "SU MO TU WE TH FR SA");
    EXPECT_EQ(sundayFirst.at(2).simplified(), "[1] 2 3 4 5 6 7");
    EXPECT_EQ(sundayFirst.last().simplified(), "29 30 31");
}

// The line changes with the items' minute, within 100 ms of it, whether the minute came by
// waiting or the clock was set; between changes nothing is written again.
TEST_F(StatusLineTest, TheNewMinuteIsWrittenWithin100msAndOnlyOnce) {
    layout.setItems({item("{HH}:{min}")});
    const auto line = lineIn(Format::plain);
    for (const qint64 minutes : {3, -50}) {
        SCOPED_TRACE(minutes);
        const qint64 boundary = (clock.nowMs() / 60'000 + minutes) * 60'000;
        clock.jumpBy(boundary - 700 - clock.nowMs());
        const qsizetype before = lines.size();
        ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() == before + 2; }, 2000));
        const QString minute = QDateTime::fromMSecsSinceEpoch(boundary).toString("HH:mm");
        EXPECT_EQ(lines.last(), minute.toUtf8());
        EXPECT_GE(linesAt.last() - boundary, 0);
        EXPECT_LE(linesAt.last() - boundary, 100);
    }
    QTest::qWait(300);
    EXPECT_EQ(lines.size(), 5);
}

// A bar that went away: the write fails, and the line says so once.
TEST_F(StatusLineTest, AFailedWriteReportsTheOutputClosed) {
    layout.setItems({item("{HH}:{min}:{sec}")});
    const auto line = lineIn(Format::plain);
    QSignalSpy closed(line.get(), &StatusLine::outputClosed);
    writable = false;
    EXPECT_TRUE(closed.wait(1500));
}

} // namespace
