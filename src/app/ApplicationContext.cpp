#include "app/ApplicationContext.h"

#include "calendar/CalendarAppOpener.h"
#include "settings/Preferences.h"

#include <QDBusConnection>

ApplicationContext::ApplicationContext() : ApplicationContext(Options{}) {}

ApplicationContext::ApplicationContext(Options options)
    : launcher(*options.launcher), store(Preferences::standard()),
      preferencesWatcher(Preferences::folder()), settings(store), layout(settings),
      compactClock(launcher), systemClock(settings, launcher), events(std::move(options.time)),
      clock([this] { return events.now(); }), service(settings, clock),
      updater(settings, Updater::builtInPublicKey, clock), bar(),
      barPositions(bar, Preferences::domain(StatusBarPositions::domainName)),
      ownBar(bar, layout, statusMenu), tray(settings, events, options.busAddress, statusMenu),
      statusHost(settings, options.statusHost, options.ownBarDocks, ownBar, tray),
      statusItems(statusHost.current(), layout, events),
      dayOpener(CalendarAppOpener::opener(launcher, QDBusConnection::sessionBus())),
      panel(settings, dayOpener, clock),
      configurator(settings, layout, events, systemClock, compactClock),
      support(service, QDBusConnection::sessionBus()) {
    QObject::connect(&statusHost, &StatusHostChoice::changed, &statusItems,
                     &StatusItemController::setHost);
}
