#include "status/tray/DBusMenuExporter.h"

#include "harness/PrivateSessionBus.h"
#include "harness/TestText.h"

#include <QActionGroup>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The menu the application keeps, and which the exporter reads again before each showing.
std::unique_ptr<QMenu> buildMenu(int* triggered) {
    auto menu = std::make_unique<QMenu>();
    QAction* open = menu->addAction("&Open_it && more");
    QObject::connect(open, &QAction::triggered, [triggered] { ++*triggered; });
    menu->addAction("Not yet")->setEnabled(false);
    menu->addSeparator();
    QAction* clock = menu->addAction("Compact clock");
    clock->setCheckable(true);
    auto* group = new QActionGroup(menu.get());
    for (const char* size : {"Small", "Large"}) {
        QAction* choice = menu->addAction(size);
        choice->setCheckable(true);
        group->addAction(choice);
    }
    QPixmap badge(13, 13);
    badge.fill(Qt::red);
    menu->addAction(QIcon(badge), "Messages");
    menu->addMenu("More")->addAction("Inside");
    return menu;
}

class DBusMenuExporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PrivateSessionBus::isAvailable())
            GTEST_SKIP() << "dbus-daemon is not installed";
    }
    ~DBusMenuExporterTest() override { QDBusConnection::disconnectFromBus("menu-test"); }

    QVariantMap row(int id) { return exporter.properties({id}, {}).value(0).properties; }

    PrivateSessionBus bus;
    int triggered = 0;
    std::unique_ptr<QMenu> menu = buildMenu(&triggered);
    DBusMenuExporter exporter{QDBusConnection::connectToBus(bus.address(), "menu-test"), "/MenuBar",
                              menu.get()};
};

// Rows are numbered in order, and each says what the panel needs to draw it.
TEST_F(DBusMenuExporterTest, RowsCarryTheirStateInTheInterfaceForm) {
    ASSERT_TRUE(exporter.isExported());
    const DBusMenuLayoutItem root = exporter.layout(0, -1, {});
    EXPECT_EQ(root.properties.value("children-display"), "submenu");
    ASSERT_EQ(root.children.size(), 8);
    QList<int> ids;
    for (const DBusMenuLayoutItem& child : root.children)
        ids.append(child.id);
    EXPECT_EQ(ids, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));

    EXPECT_EQ(row(1).value("label"), "_Open__it & more");
    EXPECT_EQ(row(1).value("enabled"), true);
    EXPECT_EQ(row(2).value("enabled"), false);
    EXPECT_EQ(row(3).value("type"), "separator");
    EXPECT_FALSE(row(3).contains("label"));
    EXPECT_EQ(row(4).value("toggle-type"), "checkmark");
    EXPECT_EQ(row(4).value("toggle-state"), 0);
    EXPECT_EQ(row(5).value("toggle-type"), "radio");
    EXPECT_FALSE(row(1).contains("toggle-type"));
    const QImage badge = QImage::fromData(row(7).value("icon-data").toByteArray(), "PNG");
    EXPECT_EQ(badge.size(), QSize(13, 13));
    EXPECT_EQ(badge.pixelColor(6, 6), QColor(Qt::red));
    EXPECT_EQ(row(8).value("children-display"), "submenu");
    EXPECT_EQ(root.children.at(7).children.value(0).properties.value("label"), "Inside");

    // Depth and property names narrow the answer.
    EXPECT_TRUE(exporter.layout(0, 0, {}).children.isEmpty());
    const DBusMenuLayoutItem more = exporter.layout(8, 1, {"label"});
    ASSERT_EQ(more.children.size(), 1);
    EXPECT_EQ(more.children.first().properties, (QVariantMap{{"label", "Inside"}}));
    EXPECT_EQ(exporter.properties({}, {"type"}).size(), 10);
}

// A panel about to show the menu has it read again, after the menu's owner brought it up to
// date (on aboutToShow, as for a popup); the panel hears only what changed, and is told to read
// the layout again only then. The menu is the application's: the exporter never deletes it.
TEST_F(DBusMenuExporterTest, RebuildingAnnouncesOnlyWhatChanged) {
    bool clockCompact = false;
    QObject::connect(menu.get(), &QMenu::aboutToShow,
                     [&] { menu->actions().at(3)->setChecked(clockCompact); });
    exporter.layout(0, -1, {});
    QSignalSpy layouts(&exporter, &DBusMenuExporter::layoutUpdated);
    QSignalSpy properties(&exporter, &DBusMenuExporter::itemsPropertiesUpdated);
    EXPECT_FALSE(exporter.aboutToShow(0));
    EXPECT_TRUE(layouts.isEmpty());
    EXPECT_TRUE(properties.isEmpty());

    clockCompact = true;
    EXPECT_TRUE(exporter.aboutToShow(0));
    EXPECT_TRUE(layouts.isEmpty());
    ASSERT_EQ(properties.size(), 1);
    const auto updated = properties.first().first().value<DBusMenuItemPropertiesList>();
    ASSERT_EQ(updated.size(), 1);
    EXPECT_EQ(updated.first().id, 4);
    EXPECT_EQ(updated.first().properties, (QVariantMap{{"toggle-state", 1}}));

    const uint revision = exporter.revision();
    menu->addAction("Extra");
    EXPECT_TRUE(exporter.aboutToShow(0));
    ASSERT_EQ(layouts.size(), 1);
    EXPECT_EQ(layouts.first().first().toUInt(), revision + 1);
    EXPECT_EQ(exporter.layout(0, -1, {}).children.size(), 9);
}

// A click runs the row's action once the call has been answered; rows that do not exist are
// errors, not clicks.
TEST_F(DBusMenuExporterTest, AClickTriggersTheRowFromTheEventLoop) {
    EXPECT_TRUE(exporter.handleEvent(1, "hovered"));
    EXPECT_TRUE(exporter.handleEvent(1, "clicked"));
    EXPECT_EQ(triggered, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return triggered == 1; }, 1000));
    EXPECT_FALSE(exporter.handleEvent(42, "clicked"));
    QTest::qWait(20);
    EXPECT_EQ(triggered, 1);
}

// Every method and signal of the interface reaches the bus: QtDBus leaves out, without a word,
// those whose types it cannot name. A property a row does not list reads as the interface's
// default; a row that does not exist is an error.
TEST_F(DBusMenuExporterTest, TheWholeInterfaceIsOnTheBus) {
    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "menu-client");
    const QString self = QDBusConnection(QString("menu-test")).baseService();
    QDBusPendingCall pending = client.asyncCall(QDBusMessage::createMethodCall(
        self, "/MenuBar", "org.freedesktop.DBus.Introspectable", "Introspect"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 5000));
    const QString xml = pending.reply().arguments().value(0).toString();
    for (const char* method : {"GetLayout", "GetGroupProperties", "GetProperty", "Event",
                               "EventGroup", "AboutToShow", "AboutToShowGroup"})
        EXPECT_TRUE(xml.contains(QString("<method name=\"%1\"").arg(method))) << method;
    for (const char* signal : {"ItemsPropertiesUpdated", "LayoutUpdated"})
        EXPECT_TRUE(xml.contains(QString("<signal name=\"%1\"").arg(signal))) << signal;

    const auto property = [&](int id, const char* name) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            self, "/MenuBar", "com.canonical.dbusmenu", "GetProperty");
        message << id << QString(name);
        QDBusPendingCall call = client.asyncCall(message);
        EXPECT_TRUE(QTest::qWaitFor([&] { return call.isFinished(); }, 5000));
        return call.reply();
    };
    for (const auto& [name, value] :
         {std::pair("label", QVariant("_Open__it & more")),
          std::pair("disposition", QVariant("normal")), std::pair("toggle-state", QVariant(-1))}) {
        const QDBusMessage reply = property(1, name);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << name;
        EXPECT_EQ(qdbus_cast<QDBusVariant>(reply.arguments().value(0)).variant(), value) << name;
    }
    EXPECT_EQ(property(42, "label").type(), QDBusMessage::ErrorMessage);
    QDBusConnection::disconnectFromBus("menu-client");
}

} // namespace
