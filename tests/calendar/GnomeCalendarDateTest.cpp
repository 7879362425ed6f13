#include "calendar/GnomeCalendarDate.h"

#include "harness/TestProfile.h"

#include <QDataStream>
#include <QDir>

#include <gtest/gtest.h>

#include <ctime>

namespace {

// Reads the text back as GNOME Calendar does: strptime() with the same form, the whole
// text taken.
std::optional<QDate> parsed(const QString& text, const QString& format) {
    std::tm fields{};
    const QByteArray input = text.toUtf8();
    const char* end = strptime(input.constData(), format.toUtf8().constData(), &fields);
    if (!end || *end != '\0')
        return std::nullopt;
    return QDate(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday);
}

TEST(GnomeCalendarDate, WritesTheDayInTheFormsOfTheTranslations) {
    const QDate day(2026, 3, 7);
    const QList<QPair<QString, QString>> cases = {
        {"%m/%d/%Y", "03/07/2026"}, {"%d.%m.%Y", "07.03.2026"}, {"%Y. %m. %d.", "2026. 03. 07."},
        {"%-d.%m.%Y", "7.03.2026"}, {"%d/%m/%y", "07/03/26"},   {"%e/%_m/%0Y", " 7/ 3/2026"},
    };
    for (const auto& [format, text] : cases) {
        EXPECT_EQ(GnomeCalendarDate::render(format, day), text) << format.toStdString();
        EXPECT_EQ(parsed(text, format), day) << format.toStdString();
    }
    EXPECT_EQ(GnomeCalendarDate::render("%Y-%m-%d 100%%", QDate(987, 12, 31)), "0987-12-31 100%");
    for (const char* unwritable : {"%a %m/%d/%Y", "%d/%m/%Ey", "%Oy/%Om/%Od", "%d/%m/%", "%-"})
        EXPECT_EQ(GnomeCalendarDate::render(unwritable, day), std::nullopt) << unwritable;
    EXPECT_EQ(GnomeCalendarDate::render("%Y", QDate(10000, 1, 1)), std::nullopt);
}

// A gettext catalogue (.mo) with one translation besides the usual header.
QByteArray catalogue(const QByteArray& message, const QByteArray& translation) {
    const QByteArrayList strings{"", message, "Content-Type: text/plain; charset=UTF-8\n",
                                 translation};
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    // Magic, revision, two messages, where their two tables start, no hash table.
    out << 0x950412deu << 0u << 2u << 28u << 44u << 0u << 0u;
    quint32 at = 60;
    for (const QByteArray& string : strings) {
        out << quint32(string.size()) << at;
        at += string.size() + 1;
    }
    return bytes + strings.join('\0') + '\0';
}

TEST(GnomeCalendarDate, TheFormIsTheCatalogueTranslationForTheLanguageOfTheEnvironment) {
    const QString file = QDir::homePath() + "/locale/fr/LC_MESSAGES/evolution-data-server.mo";
    writeFile(file, catalogue("%m/%d/%Y", "%d/%m/%Y"));
    EXPECT_EQ(GnomeCalendarDate::format(), "%m/%d/%Y"); // US English: no catalogue
    // The C.UTF-8 locale is always there, and LANGUAGE then picks the catalogue.
    ScopedEnvironment locale("LANG", "C.UTF-8");
    ScopedEnvironment french("LANGUAGE", "fr");
    EXPECT_EQ(GnomeCalendarDate::format(), "%d/%m/%Y");
    EXPECT_EQ(GnomeCalendarDate::argument(QDate(2026, 3, 7)), "07/03/2026");
    ScopedEnvironment messages("LC_MESSAGES", "C"); // the C locale is never translated
    EXPECT_EQ(GnomeCalendarDate::format(), "%m/%d/%Y");
    QFile::remove(file);
}

} // namespace
