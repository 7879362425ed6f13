#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "app/MainView.h"
#include "app/MainWindow.h"
#include "harness/FakeDesktop.h"
#include "harness/PrivateSessionBus.h"
#include "harness/ShownWindows.h"
#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "model/MenuBarLayout.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "status/tray/DBusMenuTypes.h"
#include "status/tray/StatusNotifierItem.h"
#include "status/tray/StatusNotifierTypes.h"
#include "status/tray/TrayHost.h"
#include "status/tray/TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

#include <gtest/gtest.h>

// The desktop panel's side of the protocol, played on the test's private bus: a watcher that
// notes every registration, on a connection of its own so that it can die (its connection
// closes and the bus drops its name, as when the panel's process ends) and start again.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems MEMBER registered)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    explicit FakeWatcher(const QString& address) : m_address(address) { start(); }
    ~FakeWatcher() override { stop(); }

    void start() {
        m_name = QString("fake-watcher-%1").arg(++m_starts);
        QDBusConnection connection = QDBusConnection::connectToBus(m_address, m_name);
        registered.clear();
        connection.registerObject(StatusNotifierItem::watcherPath, this,
                                  QDBusConnection::ExportAllSlots |
                                      QDBusConnection::ExportAllSignals |
                                      QDBusConnection::ExportAllProperties);
        connection.registerService(StatusNotifierItem::watcherService);
    }
    void stop() { QDBusConnection::disconnectFromBus(m_name); }

    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    // Every item registered with this run of the watcher, in order.
    QStringList registered;

    // Forgets an item: aloud, as GNOME's watcher does when it fails to set one up, or silently.
    void drop(const QString& service, bool aloud) {
        registered.removeAll(service);
        if (aloud)
            Q_EMIT StatusNotifierItemUnregistered(service + StatusNotifierItem::itemPath);
    }

    // Drops every item that registers, this many times.
    int dropsToCome = 0;

public Q_SLOTS:
    // Items register by object path: the sender is the item.
    void RegisterStatusNotifierItem(const QString& path, const QDBusMessage& call) {
        const QString service = path.startsWith('/') ? call.service() : path;
        registered.append(service);
        if (dropsToCome > 0) {
            --dropsToCome;
            QTimer::singleShot(10, this, [this, service] { drop(service, true); });
        }
    }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemUnregistered(const QString& service);

private:
    QString m_address;
    QString m_name;
    int m_starts = 0;
};

// What the panel hears from the items.
class SignalRecorder : public QObject {
    Q_OBJECT
public:
    struct Heard {
        QString name;
        QVariantList arguments;
    };
    QList<Heard> heard;

    qsizetype count(const QString& name) const {
        return std::count_if(heard.cbegin(), heard.cend(),
                             [&](const Heard& signal) { return signal.name == name; });
    }

public Q_SLOTS:
    void hear(const QDBusMessage& message) {
        heard.append({message.member(), message.arguments()});
    }
};

namespace {

const char* const itemInterface = "org.kde.StatusNotifierItem";
const char* const menuInterface = "com.canonical.dbusmenu";

// The panel's side of the calls, on a connection of its own. Calls are asynchronous and waited
// for with the event loop running: the items answer from this same thread.
class Panel {
public:
    explicit Panel(const QString& address)
        : m_connection(QDBusConnection::connectToBus(address, "fake-panel")) {
        StatusNotifierTypes::registerTypes();
        DBusMenuTypes::registerTypes();
    }
    ~Panel() { QDBusConnection::disconnectFromBus("fake-panel"); }

    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = m_connection.asyncCall(message, 5000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 6000)) << method;
        EXPECT_NE(pending.reply().type(), QDBusMessage::ErrorMessage)
            << method.toStdString() << ": " << pending.reply().errorMessage().toStdString();
        return pending.reply();
    }
    QVariantMap properties(const QString& service) {
        const QDBusMessage reply =
            call(service, StatusNotifierItem::itemPath, "org.freedesktop.DBus.Properties", "GetAll",
                 {QString(itemInterface)});
        return reply.arguments().isEmpty()
                   ? QVariantMap()
                   : qdbus_cast<QVariantMap>(reply.arguments().first().value<QDBusArgument>());
    }
    QDBusMessage callItem(const QString& service, const QString& method,
                          const QVariantList& arguments) {
        return call(service, StatusNotifierItem::itemPath, itemInterface, method, arguments);
    }
    DBusMenuLayoutItem menu(const QString& service) {
        const QDBusMessage reply = call(service, StatusNotifierItem::menuPath, menuInterface,
                                        "GetLayout", {0, -1, QStringList()});
        return reply.arguments().size() < 2
                   ? DBusMenuLayoutItem()
                   : qdbus_cast<DBusMenuLayoutItem>(reply.arguments().at(1).value<QDBusArgument>());
    }
    void listen(const QString& service, const QString& path, const QString& interface,
                const QStringList& names, SignalRecorder& recorder) {
        for (const QString& name : names)
            m_connection.connect(service, path, interface, name, &recorder,
                                 SLOT(hear(QDBusMessage)));
    }
    bool hasOwner(const QString& service) {
        return m_connection.interface()->isServiceRegistered(service);
    }

private:
    QDBusConnection m_connection;
};

template <typename T> T castArgument(const QVariant& value) {
    return qdbus_cast<T>(value.value<QDBusArgument>());
}

class TrayTest : public ProfileTest {
protected:
    void SetUp() override {
        if (!PrivateSessionBus::isAvailable())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_FALSE(bus.address().isEmpty());
    }
    void start(std::optional<StatusHostMode> mode, const QList<MenuBarItem>& layout,
               bool ownBarDocks = true) {
        Settings settings(Preferences::standard());
        MenuBarLayout(settings).setItems(layout);
        ApplicationContext::Options options{time, &desktop, mode, bus.address(), ownBarDocks};
        context = std::make_unique<ApplicationContext>(options);
        delegate = std::make_unique<AppDelegate>(*context);
        context->statusItems.enable();
    }
    // Waits until the watcher has heard of `count` items.
    bool registered(qsizetype count) {
        return QTest::qWaitFor([&] { return watcher.registered.size() == count; }, 5000);
    }
    QString firstService() { return watcher.registered.value(0); }

    SystemEvents::Sources time;
    PrivateSessionBus bus;
    FakeWatcher watcher{bus.address()};
    Panel panel{bus.address()};
    FakeDesktop desktop;
    std::unique_ptr<ApplicationContext> context;
    std::unique_ptr<AppDelegate> delegate;
};

// With a watcher on the bus the panel is chosen by itself; each item tells the panel what to
// show and where, with the text as its label and the widest text as the label's guide. The
// icon shows the day the user lives in: half an hour after midnight in Paris it is already the
// 15th, while in UTC it is still the 14th.
TEST_F(TrayTest, ItemsRegisterInLayoutOrderAndShowTheirTextAndTheLocalDay) {
    time.now = [] { return QDateTime(QDate(2026, 3, 14), QTime(23, 30), QTimeZone::utc()); };
    const QList<MenuBarItem> layout{itemOf("Alpha {day}"), itemOf("Bravo"), itemOf("Charlie")};
    start(std::nullopt, layout);
    EXPECT_EQ(&context->statusItems.host(), &context->tray);
    EXPECT_TRUE(context->bar.items().isEmpty());
    ASSERT_TRUE(registered(3));
    const QStringList texts{"Alpha 15", "Bravo", "Charlie"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QVariantMap item = panel.properties(watcher.registered.at(i));
        EXPECT_EQ(item.value("Id"), "VSP-" + MenuBarItemCoding::uuidText(layout.at(i).id));
        EXPECT_EQ(item.value("XAyatanaOrderingIndex").toUInt(), uint(i));
        EXPECT_EQ(item.value("XAyatanaLabel"), texts.at(i));
        EXPECT_EQ(item.value("Title"), texts.at(i));
        EXPECT_EQ(castArgument<SniToolTip>(item.value("ToolTip")).title, texts.at(i));
        EXPECT_EQ(item.value("Status"), "Active");
        EXPECT_EQ(item.value("Menu").value<QDBusObjectPath>().path(), "/MenuBar");
        // For panels that look icons up by name: the day's page in the item's own theme.
        EXPECT_EQ(item.value("IconName"), "vesperin-day-15");
        EXPECT_TRUE(QFile::exists(item.value("IconThemePath").toString() +
                                  "/hicolor/22x22/status/" + item.value("IconName").toString() +
                                  ".png"));
    }
    // Two-digit days are wider than one-digit days in any font.
    const QVariantMap first = panel.properties(firstService());
    EXPECT_EQ(first.value("XAyatanaLabelGuide").toString().size(), QString("Alpha 10").size());
    EXPECT_EQ(panel.properties(watcher.registered.at(1)).value("XAyatanaLabelGuide"), "Bravo");

    // The calendar page with the day's number, both sizes, in network byte order: a pixel of
    // the blue band reads alpha, red, green, blue.
    const auto icon = castArgument<SniIconPixmaps>(first.value("IconPixmap"));
    ASSERT_EQ(icon.size(), 2);
    EXPECT_EQ(QSize(icon.at(0).width, icon.at(0).height), QSize(22, 22));
    EXPECT_EQ(QSize(icon.at(1).width, icon.at(1).height), QSize(44, 44));
    const auto* band =
        reinterpret_cast<const uchar*>(icon.at(0).bytes.constData()) + (5 * 22 + 11) * 4;
    EXPECT_EQ(band[0], 255);
    EXPECT_LT(band[1], band[2]);
    EXPECT_LT(band[2], band[3]);

    // The same clock reaches the calendar and the main window.
    delegate->openPanel();
    EXPECT_EQ(context->panel.displayedMonth().toLocalTime().date(), QDate(2026, 3, 15));
    delegate->showMainWindow();
    EXPECT_EQ(delegate->mainWindow()->mainView()->monthLabel()->text(), "March 2026");
}

// An item the panel drops while it is alive comes back, whether the watcher says so (as GNOME's
// does when it fails to set an item up) or only forgets it; an item dropped again and again
// takes the items to the own bar, since the panel shows nothing.
TEST_F(TrayTest, ADroppedItemRegistersAgainUntilThePanelProvesUnusable) {
    start(std::nullopt, {itemOf("One"), itemOf("Two")});
    context->tray.setTimings({}, 300);
    context->statusHost.setWatcherGraceMs(100);
    ASSERT_TRUE(registered(2));
    const QStringList services = watcher.registered;

    watcher.drop(services.at(1), true);
    ASSERT_TRUE(registered(2)) << "not registered again after the watcher said it dropped it";
    EXPECT_EQ(watcher.registered.last(), services.at(1)) << "the same item, not a new one";
    watcher.drop(services.at(0), false);
    ASSERT_TRUE(registered(2)) << "a silently forgotten item stayed away";
    EXPECT_EQ(QSet(watcher.registered.cbegin(), watcher.registered.cend()),
              QSet(services.cbegin(), services.cend()));
    EXPECT_EQ(panel.properties(services.at(0)).value("XAyatanaLabel"), "One");
    EXPECT_EQ(&context->statusItems.host(), &context->tray);

    watcher.dropsToCome = 100;
    watcher.drop(services.at(0), true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return context->bar.items().size() == 2; }, 8000))
        << "the items stayed with a panel that drops them";
    EXPECT_TRUE(context->tray.items().isEmpty());
}

// A new item says nothing of its changes until the panel has read it and its menu (a panel
// still setting an item up may lose it over a change). Then, once a second, the label changes,
// and with it the title and tool tip that are the same text; the icon, the guide and the menu
// stay, and nothing registers again.
TEST_F(TrayTest, ASecondsItemWaitsForThePanelsFirstReadThenChangesOnlyItsTextOnceASecond) {
    start(StatusHostMode::tray, {itemOf("{HH}:{min}:{sec}")});
    context->tray.setTimings({100, 60000}, 60000);
    ASSERT_TRUE(registered(1));
    SignalRecorder recorder;
    panel.listen(firstService(), StatusNotifierItem::itemPath, itemInterface,
                 {"NewTitle", "NewIcon", "NewToolTip", "NewStatus", "XAyatanaNewLabel"}, recorder);
    panel.listen(firstService(), StatusNotifierItem::menuPath, menuInterface,
                 {"LayoutUpdated", "ItemsPropertiesUpdated"}, recorder);
    const QString guide = panel.properties(firstService()).value("XAyatanaLabelGuide").toString();
    QTest::qWait(2200);
    EXPECT_EQ(recorder.heard.size(), 0) << "a change crossed the panel's first read";
    panel.menu(firstService());
    QElapsedTimer listening;
    listening.start();
    QTest::qWait(3200);
    const qint64 seconds = listening.elapsed() / 1000;

    // One a second, and one for what changed while the item waited.
    const qsizetype labels = recorder.count("XAyatanaNewLabel");
    EXPECT_GE(labels, seconds);
    EXPECT_LE(labels, seconds + 2);
    EXPECT_EQ(recorder.count("NewTitle"), labels);
    EXPECT_EQ(recorder.count("NewToolTip"), labels);
    EXPECT_EQ(recorder.heard.size(), 3 * labels) << "something else changed";
    QString last;
    for (const SignalRecorder::Heard& signal : std::as_const(recorder.heard)) {
        if (signal.name == "XAyatanaNewLabel") {
            EXPECT_EQ(signal.arguments.value(1), guide);
            last = signal.arguments.value(0).toString();
        }
    }
    EXPECT_EQ(panel.properties(firstService()).value("XAyatanaLabel"), last);
    EXPECT_EQ(watcher.registered.size(), 1);
}

// The panel reports where it was clicked: the calendar opens there, the wheel turns its
// months, and the menu pops up there too.
TEST_F(TrayTest, ActivateOpensThePanelAtThatPointAndScrollTurnsItsMonths) {
    start(StatusHostMode::tray, {itemOf("{day}")});
    ASSERT_TRUE(registered(1));
    const QPoint point(400, 10);
    const auto opensAt = [&](const char* method, const QVariantList& arguments, QPoint at) {
        panel.callItem(firstService(), method, arguments);
        ASSERT_TRUE(QTest::qWaitFor([&] { return context->panel.isVisible(); }, 3000)) << method;
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        CalPanel* calendar = context->panel.panel();
        EXPECT_EQ(calendar->pos(), CalPanelController::originAt(at, available, calendar->width()))
            << method;
    };
    QCursor::setPos(point + QPoint(3, 2)); // the click's pointer, near the point the panel gives
    ASSERT_NO_FATAL_FAILURE(opensAt("Activate", {point.x(), point.y()}, point));
    EXPECT_EQ(context->statusItems.anchor().point, point);

    const auto shownMonth = [&] {
        return context->panel.displayedMonth().toLocalTime().date().month();
    };
    const QDate month = context->panel.displayedMonth().toLocalTime().date();
    panel.callItem(firstService(), "Scroll", {120, QString("vertical")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownMonth() == month.addMonths(-1).month(); }, 3000));
    panel.callItem(firstService(), "Scroll", {-120, QString("vertical")});
    panel.callItem(firstService(), "Scroll", {-120, QString("vertical")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownMonth() == month.addMonths(1).month(); }, 3000));
    context->panel.close();

    panel.callItem(firstService(), "ContextMenu", {point.x(), point.y()});
    QMenu* menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }, 3000));
    EXPECT_EQ(menu->pos(), point);
    EXPECT_EQ(menu->actions().first()->text(), L("cal.ouvrir_le_calendrier"));
    menu->close();

    // A middle click opens the calendar: at its point, or (Ayatana's, which gives none) under
    // the pointer. Each waits out the guard that keeps a closing click from reopening it.
    QTest::qWait(300);
    ASSERT_NO_FATAL_FAILURE(opensAt("SecondaryActivate", {point.x(), point.y()}, point));
    context->panel.close();
    QTest::qWait(300);
    QCursor::setPos(QPoint(600, 300));
    opensAt("XAyatanaSecondaryActivate", {0u}, QPoint(600, 300));
}

// The panel draws the status menu itself from the exported layout; a click it reports runs
// the row's action.
TEST_F(TrayTest, TheExportedMenuIsTheStatusMenuAndAClickRunsItsRow) {
    start(StatusHostMode::tray, {itemOf("{day}")});
    ASSERT_TRUE(registered(1));
    // Row for row the status menu the application keeps, every shown row enabled.
    const DBusMenuLayoutItem menu = panel.menu(firstService());
    const QMenu* built = &context->statusMenu;
    ASSERT_EQ(menu.children.size(), built->actions().size());
    for (qsizetype i = 0; i < menu.children.size(); ++i) {
        const QVariantMap row = menu.children.at(i).properties;
        const QAction* action = built->actions().at(i);
        EXPECT_EQ(row.value("label").toString(), action->isSeparator() ? "" : action->text()) << i;
        EXPECT_EQ(row.value("visible").toBool(), action->isVisible()) << i;
        // A hidden row (the messages row with no message waiting) reads as disabled too.
        EXPECT_TRUE(action->isSeparator() || !action->isVisible() || row.value("enabled").toBool())
            << i;
    }

    EXPECT_FALSE(context->panel.isVisible());
    panel.call(firstService(), StatusNotifierItem::menuPath, menuInterface, "Event",
               {menu.children.first().id, QString("clicked"),
                QVariant::fromValue(QDBusVariant(QString())), 0u});
    EXPECT_TRUE(QTest::qWaitFor([&] { return context->panel.isVisible(); }, 3000));
}

// A panel that restarts has a new watcher that knows nothing: every item registers again, in
// order, and they are the same items (nothing was rebuilt). In automatic mode a watcher that
// goes for good takes the items to the own bar, once it has had a moment to come back. The
// preference moves them too.
TEST_F(TrayTest, TheItemsFollowTheWatcherAndThePreference) {
    start(std::nullopt, {itemOf("One"), itemOf("Two")});
    context->statusHost.setWatcherGraceMs(300);
    ASSERT_TRUE(registered(2));
    const QStringList before = watcher.registered;

    watcher.stop();
    QTest::qWait(100);
    watcher.start();
    ASSERT_TRUE(registered(2));
    EXPECT_EQ(watcher.registered, before) << "a quick restart moved the items";
    EXPECT_EQ(panel.properties(watcher.registered.at(1)).value("XAyatanaLabel"), "Two");
    QTest::qWait(400);
    EXPECT_EQ(&context->statusItems.host(), &context->tray);
    EXPECT_TRUE(context->bar.items().isEmpty());

    watcher.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return context->bar.items().size() == 2; }, 3000));
    EXPECT_TRUE(context->bar.isVisible());
    EXPECT_TRUE(context->tray.items().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panel.hasOwner(before.first()); }, 3000))
        << "the item stayed on the bus";

    watcher.start();
    ASSERT_TRUE(registered(2));
    EXPECT_TRUE(context->bar.items().isEmpty());
    EXPECT_FALSE(context->bar.isVisible());

    Preferences::standard().setObject(PreferenceKeys::statusHost, QString("own"));
    EXPECT_EQ(context->bar.items().size(), 2);
    EXPECT_TRUE(context->tray.items().isEmpty());
}

// In a Wayland session the own bar cannot dock: the items wait in the panel's host, and while
// no panel shows them the window stands in for them and says why, once a run.
TEST_F(TrayTest, WithoutADockableBarTheItemsWaitForAPanelAndTheWindowStandsIn) {
    watcher.stop();
    start(std::nullopt, {itemOf("One"), itemOf("Two")}, false);
    context->settings.setMenuBarMode(true);
    context->statusHost.setWatcherGraceMs(200);
    const auto notices = shownWindows<QMessageBox>;
    EXPECT_EQ(&context->statusItems.host(), &context->tray);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices().size() == 1; }, 3000));
    EXPECT_EQ(notices().first()->text(), L("menubar.no_panel"));
    ASSERT_NE(delegate->mainWindow(), nullptr);
    EXPECT_TRUE(delegate->mainWindow()->isVisible());
    EXPECT_EQ(delegate->mainWindow()->windowType(), Qt::Window) << "no taskbar entry";
    EXPECT_TRUE(context->bar.items().isEmpty());
    const auto saysShown = [&] {
        const QList<QLabel*> labels = delegate->mainWindow()->findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
            return label->text() == L("cal.visible_dans_la_barre_de");
        });
    };
    EXPECT_FALSE(saysShown());
    notices().first()->close();
    delegate->mainWindow()->hide();

    watcher.start();
    ASSERT_TRUE(registered(2));
    EXPECT_TRUE(context->statusHost.itemsPlaced());
    EXPECT_TRUE(saysShown());
    EXPECT_EQ(delegate->mainWindow()->windowType(), Qt::Tool);
    watcher.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->mainWindow()->isVisible(); }, 3000));
    EXPECT_TRUE(notices().isEmpty()) << "the reason was said twice";
    EXPECT_TRUE(context->bar.items().isEmpty());
}

} // namespace

#include "TrayTest.moc"
