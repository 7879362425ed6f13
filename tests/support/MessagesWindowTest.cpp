#include "support/MessagesWindow.h"

#include "harness/TestHttpServer.h"
#include "harness/TestPictures.h"
#include "harness/TestText.h"
#include "harness/WidgetEvents.h"
#include "settings/Localization.h"
#include "support/MessageAlert.h"
#include "support/MessageBodyView.h"
#include "support/MessageText.h"
#include "support/ServiceClient.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace std::string_literals;

QDateTime at(int day, int hour, int minute) {
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute), Qt::UTC);
}

const QString hebrew = QString::fromStdU16String(
    u"\u05e9\u05dc\u05d5\u05dd, \u05ea\u05d5\u05d3\u05d4 \u05e8\u05d1\u05d4!"s);
const QString coder = QString::fromStdU16String(u"\U0001F469\u200D\U0001F4BB"s);

// Newest first, both directions, as the service client lists them.
QList<ArchivedMessage> mixedConversation() {
    return {
        {-1773657000, "Thanks, it works again " + coder + " \U0001F389", at(16, 10, 30), true},
        {12,
         "We found it: the week numbers were counted from Sunday in some zones. Version 1.2.1 "
         "fixes it.\n" +
             hebrew,
         at(15, 17, 5), false},
        {-1773570000, "Since yesterday the week numbers in the panel are off by one.",
         at(15, 9, 40), true},
        {11, "Hello! Thanks for writing to us. We are looking into it.", at(14, 16, 0), false},
    };
}

// Whether the document holds anything but text: a link or an image.
bool holdsMarkup(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() || format.isImageFormat())
                return true;
        }
    }
    return false;
}

TEST(MessagesWindowTest, WhatTheServiceWroteIsShownLiterallyAndCannotBeChanged) {
    const QString html = "<b>bold</b> <a href=\"https://example.org\">link</a> "
                         "<img src=\"http://127.0.0.1:9/pixel.png\"> &amp; <br>";
    MessagesWindow window;
    window.showConversation({{5, html, at(14, 9, 0), false}});
    MessageAlert alert(html);
    for (MessageBodyView* body : {window.bodies().at(0), alert.body()}) {
        EXPECT_EQ(body->toPlainText(), html);
        EXPECT_FALSE(holdsMarkup(*body->document()));
        QTest::keyClicks(body, "x");
        EXPECT_EQ(body->toPlainText(), html);
        // Nor zoomed, which would cut its text off.
        const qreal size = body->document()->defaultFont().pointSizeF();
        sendWheel(*body->viewport(), 120, Qt::ControlModifier);
        EXPECT_EQ(body->document()->defaultFont().pointSizeF(), size);
    }
}

// A text of 100,000 characters with a word longer than the line, right-to-left text, emoji
// and control characters: the window keeps its size, every body is exactly as high as its
// whole text within the column, and the list scrolls to the last of them.
TEST(MessagesWindowTest, LongAndUnusualTextsStayInTheirColumn) {
    const QString huge = QString("word ").repeated(12000) + QString(40000, u'x');
    ASSERT_EQ(huge.size(), 100000);
    MessagesWindow window;
    window.showConversation(
        {{4, huge, at(14, 9, 0), false},
         {3, hebrew, at(14, 9, 0), false},
         {2, coder.repeated(400), at(14, 9, 0), true},
         {1, QString::fromStdU16String(u"a\u0000b\u0007c\r\nd"s), at(14, 9, 0), false}});
    window.present();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(460, 520));
    const QList<MessageBodyView*> bodies = window.bodies();
    for (MessageBodyView* body : bodies) {
        EXPECT_LE(body->document()->idealWidth(), 416);
        EXPECT_EQ(std::ceil(body->document()->size().height()), body->height())
            << "the text is cut off, or followed by a gap";
    }
    for (qsizetype i = 1; i < bodies.size(); ++i)
        EXPECT_GT(bodies.at(i)->y(), bodies.at(i - 1)->geometry().bottom() + 20) << "overlapping";
    EXPECT_EQ(bodies.at(1)->document()->firstBlock().textDirection(), Qt::RightToLeft);
    EXPECT_EQ(bodies.at(3)->toPlainText(), QString::fromStdU16String(u"a\u2400b\u2407c\nd"s));
    const QWidget* list = window.list()->widget();
    EXPECT_EQ(window.list()->verticalScrollBar()->maximum(), list->height() - 416);
    EXPECT_LT(bodies.at(3)->geometry().bottom(), list->height());
}

// Return anywhere in the window presses Send, once; so does the keypad's Enter in the field.
// What was typed survives a refresh of the list.
TEST(MessagesWindowTest, ReturnSendsOnceAndADraftSurvivesARefresh) {
    MessagesWindow window;
    QSignalSpy sent(&window, &MessagesWindow::sendRequested);
    window.present();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), window.replyField());
    QTest::keyClicks(window.replyField(), "draft");
    window.showConversation(mixedConversation());
    EXPECT_EQ(window.replyField()->text(), "draft");
    QTest::keyClick(window.replyField(), Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return sent.size() == 1; })) << "the button is pressed";
    QTest::keyClick(window.replyField(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(sent.size(), 2);
    window.setReplyOpen(false);
    QTest::keyClick(&window, Qt::Key_Return);
    QTest::qWait(300); // longer than the button's pressed look
    EXPECT_EQ(sent.size(), 2) << "no reply while the ticket is not open";
    EXPECT_EQ(window.hint()->text(), L("messages.closed_hint"));
}

// Whose entry is whose shows in its header's colour, in either appearance (pictures kept for a
// person to look at).
TEST(MessagesWindowTest, TheHeadersFollowTheAppearance) {
    MessagesWindow window;
    window.showConversation(mixedConversation());
    window.present();
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        window.setPalette(Appearances::palette(appearance));
        const QList<QLabel*> headers = window.list()->widget()->findChildren<QLabel*>();
        ASSERT_EQ(headers.size(), 4);
        EXPECT_EQ(window.list()->widget()->height(), 416) << "a short list fills the window's";
        EXPECT_EQ(headers.at(0)->palette().color(QPalette::WindowText),
                  Appearances::tertiaryLabelColor(appearance));
        EXPECT_EQ(headers.at(1)->palette().color(QPalette::WindowText), orvennaMauve(appearance));
        keepForLooking(window.grab().toImage(), "messages-" + nameOf(appearance));
    }
}

TEST(MessageTextTest, ControlCharactersShowAsSymbolsAndLineBreaksAsOne) {
    const QList<std::pair<QString, QString>> cases = {
        {"a\r\nb\rc\nd\te", "a\nb\nc\nd\te"},
        {QString::fromStdU16String(u"x\u0000y"s) + "\x1b[31m\x07\x7f" + QChar(0x85),
         QString::fromStdU16String(u"x\u2400y\u241b[31m\u2407\u2421\ufffd"s)},
        {"\r\r\n\n", "\n\n\n"},
        // Right-to-left text, its marks and emoji are text like any other.
        {QString::fromStdU16String(u"\u05e9\u05dc\u05d5\u05dd \u202e\U0001F469\u200D\U0001F4BB"s),
         QString::fromStdU16String(u"\u05e9\u05dc\u05d5\u05dd \u202e\U0001F469\u200D\U0001F4BB"s)},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(MessageText::shown(text), shown) << text;
}

// In the user's zone (the tests run in Paris) and language, long date and short time.
TEST(MessageTextTest, TheHeaderSaysWhoseAndWhen) {
    const QDateTime date(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
    const QString mine = MessageText::header({-1, "hi", date, true});
    EXPECT_TRUE(mine.startsWith(L("messages.you_prefix"))) << mine;
    EXPECT_TRUE(mine.contains("March 14, 2026")) << mine;
    EXPECT_TRUE(mine.contains("10:26")) << mine;
    EXPECT_FALSE(mine.contains(":53")) << "short time style";
    EXPECT_TRUE(
        MessageText::header({5, "hi", date, false}).startsWith(L("messages.orvenna_labs_prefix")));
}

} // namespace
