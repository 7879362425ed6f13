#include "calendar/GnomeCalendarDate.h"

#include <libintl.h>
#include <locale.h>
#include <mutex>

namespace {

// Reads the message in the LC_MESSAGES language the environment names now, the way a program
// started from this environment (GNOME Calendar) reads it after setlocale(LC_ALL, ""). A
// locale the system lacks leaves such a program in the C locale, untranslated, and so here.
QString translated(const char* message) {
    static std::once_flag utf8;
    std::call_once(utf8, [] { bind_textdomain_codeset(GnomeCalendarDate::catalogue, "UTF-8"); });
    const locale_t environment = newlocale(LC_MESSAGES_MASK, "", locale_t(nullptr));
    if (!environment)
        return QString::fromUtf8(message);
    const locale_t previous = uselocale(environment);
    const QString text = QString::fromUtf8(dgettext(GnomeCalendarDate::catalogue, message));
    uselocale(previous);
    freelocale(environment);
    return text;
}

} // namespace

namespace GnomeCalendarDate {

QString format() {
    return translated(untranslated);
}

std::optional<QString> render(const QString& format, const QDate& day) {
    if (!day.isValid() || day.year() < 1 || day.year() > 9999)
        return std::nullopt;
    QString text;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format.at(i) != u'%') {
            text += format.at(i);
            continue;
        }
        if (++i == format.size())
            return std::nullopt;
        std::optional<QChar> flag;
        if (QStringView(u"-_0").contains(format.at(i))) {
            flag = format.at(i);
            if (++i == format.size())
                return std::nullopt;
        }
        int value = 0;
        int width = 2;
        QChar fill = u'0';
        switch (format.at(i).unicode()) {
        case u'%':
            if (flag)
                return std::nullopt;
            text += u'%';
            continue;
        case u'd':
            value = day.day();
            break;
        case u'e':
            value = day.day();
            fill = u' ';
            break;
        case u'm':
            value = day.month();
            break;
        case u'y':
            value = day.year() % 100;
            break;
        case u'Y':
            value = day.year();
            width = 4;
            break;
        default:
            return std::nullopt;
        }
        if (flag == u'-')
            width = 0;
        else if (flag)
            fill = *flag == u'_' ? u' ' : u'0';
        text += QString::number(value).rightJustified(width, fill);
    }
    return text;
}

std::optional<QString> argument(const QDate& day) {
    return render(format(), day);
}

} // namespace GnomeCalendarDate
