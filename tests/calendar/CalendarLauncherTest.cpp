#include "calendar/CalendarLauncher.h"

#include "harness/TestDesktop.h"

#include <gtest/gtest.h>

namespace {

using Application = CalendarLauncher::Application;

std::optional<Application> open() {
    return CalendarLauncher::open(QDate(2026, 3, 7), ProcessLauncher::system());
}

TEST(CalendarLauncher, TheDefaultCalendarApplicationIsStartedOnTheDay) {
    TestDesktop desktop;
    EXPECT_EQ(open(), std::nullopt);
    const struct {
        const char* id;
        const char* exec; // after the program
        Application application;
        QStringList arguments;
    } cases[] = {
        // No catalogue of GNOME Calendar's date forms: the untranslated US form.
        {"org.gnome.Calendar.desktop", "%U", Application::gnomeCalendar, {"--date", "03/07/2026"}},
        {"org.gnome.Evolution.desktop",
         "%U",
         Application::evolution,
         {"calendar:///?startdate=20260307"}},
        // KOrganizer is asked for the day over D-Bus once it runs, by the caller.
        {"org.kde.korganizer.desktop", "-caption %c %U", Application::korganizer, {"-caption"}},
        // Anything else gets no file: a calendar would import it as events.
        {"org.example.Planner.desktop", "--new-window %f", Application::other, {"--new-window"}},
    };
    for (const auto& expected : cases) {
        const QString program = desktop.recordingProgram(expected.id);
        desktop.addEntry(1, expected.id, program + " " + expected.exec);
        writeFile(desktop.configHome() + "/mimeapps.list",
                  QByteArray("[Default Applications]\ntext/calendar=") + expected.id + ";\n");
        EXPECT_EQ(open(), expected.application) << expected.id;
        EXPECT_EQ(desktop.recorded(expected.id), expected.arguments) << expected.id;
    }
}

} // namespace
