// Feeds the requests a desktop panel sends over com.canonical.dbusmenu to the exporter of a
// fixed menu: the panel is another process and may ask anything, for rows that never existed
// or no longer do. The exporter is made once, on a bus connection that is not connected: its
// answers are what the interface's adaptor sends back.
//
// Input: requests, each a byte naming it followed by the bytes it takes: a row id and a
// depth are one signed byte each, a name or an event one byte picking from the interface's
// words (or, past them, the empty word); a list is a count byte (up to 4) and its items.
#include "FuzzSupport.h"
#include "status/tray/DBusMenuExporter.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenu>

namespace {

const QStringList words = {"label",       "enabled",      "visible",   "type",
                           "toggle-type", "toggle-state", "icon-data", "children-display",
                           "clicked",     "hovered",      "opened",    "closed"};

class Requests {
public:
    explicit Requests(const QByteArray& input) : m_input(input) {}
    bool atEnd() const { return m_at >= m_input.size(); }
    int byte() { return atEnd() ? 0 : int(quint8(m_input.at(m_at++))); }
    int id() { return int(qint8(byte())); }
    QString word() { return words.value(byte() % (words.size() + 1)); }
    QStringList names() {
        QStringList list;
        for (int count = byte() % 5; count > 0; --count)
            list.append(word());
        return list;
    }
    QList<int> ids() {
        QList<int> list;
        for (int count = byte() % 5; count > 0; --count)
            list.append(id());
        return list;
    }

private:
    QByteArray m_input;
    qsizetype m_at = 0;
};

// Clicks that reached a row's action, by the row's label.
QStringList triggered;

QMenu* buildMenu() {
    auto* menu = new QMenu;
    const auto add = [](QMenu* into, const QString& text) {
        QAction* action = into->addAction(text);
        QObject::connect(action, &QAction::triggered, [text] { triggered.append(text); });
        return action;
    };
    add(menu, "&Open && more_");
    add(menu, "Disabled")->setEnabled(false);
    menu->addSeparator();
    add(menu, "Checked")->setCheckable(true);
    auto* group = new QActionGroup(menu);
    for (const char* choice : {"Small", "Large"}) {
        QAction* action = add(menu, choice);
        action->setCheckable(true);
        group->addAction(action);
    }
    QPixmap badge(8, 8);
    badge.fill(Qt::red);
    add(menu, "With icon")->setIcon(QIcon(badge));
    QMenu* more = menu->addMenu("More");
    add(more, "Inside");
    return menu;
}

// The application keeps one menu for the life of the process, as the exporter expects.
QMenu* keptMenu() {
    static QMenu* const menu = buildMenu();
    return menu;
}

DBusMenuExporter& exporter() {
    static DBusMenuExporter instance(QDBusConnection("vesperin-fuzz-no-bus"), "/MenuBar",
                                     keptMenu());
    return instance;
}

// Every row of the layout once, children only below the depth asked, and properties only
// among the names asked.
void checkLayout(const DBusMenuLayoutItem& item, int depth, const QStringList& names,
                 QList<int>& seen) {
    Fuzz::check(!seen.contains(item.id), "a row shows once in a layout", QString::number(item.id));
    seen.append(item.id);
    Fuzz::check(depth != 0 || item.children.isEmpty(), "no rows below the depth asked");
    for (auto it = item.properties.cbegin(); it != item.properties.cend(); ++it)
        Fuzz::check(names.isEmpty() || names.contains(it.key()), "only the properties asked for",
                    it.key());
    for (const DBusMenuLayoutItem& child : item.children)
        checkLayout(child, depth < 0 ? depth : depth - 1, names, seen);
}

void getLayout(Requests& requests) {
    const int parent = requests.id();
    const int depth = requests.id();
    const QStringList names = requests.names();
    const DBusMenuLayoutItem layout = exporter().layout(parent, depth, names);
    Fuzz::check(layout.id == parent, "the layout is the row asked for", QString::number(parent));
    QList<int> seen;
    checkLayout(layout, depth, names, seen);
    Fuzz::check(exporter().contains(parent) || (layout.properties.isEmpty() && seen.size() == 1),
                "a row that does not exist has nothing", QString::number(parent));
}

void getGroupProperties(Requests& requests) {
    const QList<int> ids = requests.ids();
    const QStringList names = requests.names();
    for (const DBusMenuItemProperties& row : exporter().properties(ids, names)) {
        Fuzz::check(exporter().contains(row.id) && (ids.isEmpty() || ids.contains(row.id)),
                    "only rows that exist and were asked for", QString::number(row.id));
        for (auto it = row.properties.cbegin(); it != row.properties.cend(); ++it)
            Fuzz::check(names.isEmpty() || names.contains(it.key()),
                        "only the properties asked for", it.key());
    }
}

void event(Requests& requests) {
    const int id = requests.id();
    const QString name = requests.word();
    const QString label = exporter().property(id, "label").toString();
    const bool submenu = exporter().property(id, "children-display") == "submenu";
    const bool enabled = exporter().property(id, "enabled") == true;
    // Rows the interface does not list read as its defaults: "standard", enabled.
    const bool standard = id != 0 && exporter().property(id, "type") == "standard";
    triggered.clear();
    Fuzz::check(exporter().handleEvent(id, name) == exporter().contains(id),
                "an event is taken for a row that exists", QString::number(id));
    QCoreApplication::processEvents();
    // Separators and the menu itself trigger nothing; a submenu's row opens, never triggers.
    const bool clicksAction = name == "clicked" && standard && enabled && !submenu;
    Fuzz::check(triggered.size() == (clicksAction ? 1 : 0),
                "a click triggers its row's action once, anything else none",
                name + " " + QString::number(id) + " " + triggered.join(u','));
    Fuzz::check(!clicksAction || DBusMenuExporter::label(triggered.value(0)) == label,
                "the click reaches the row clicked", label);
}

void aboutToShow(Requests& requests) {
    const uint revision = exporter().revision();
    exporter().aboutToShow(requests.id());
    Fuzz::check(exporter().revision() == revision, "the same menu built again changes nothing");
}

void (*const handlers[])(Requests&) = {getLayout, getGroupProperties, event, aboutToShow};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QApplication application(*argc, *argv);
    DBusMenuTypes::registerTypes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Requests requests(Fuzz::bytes(data, size));
    for (int count = 0; !requests.atEnd() && count < 64; ++count)
        handlers[requests.byte() % std::size(handlers)](requests);
    return 0;
}
