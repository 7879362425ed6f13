#pragma once

#include <QObject>
#include <QString>

class StatusBar;
class StatusBarButton;

// One item of the status bar: a button and a length. Created and removed by StatusBar.
class StatusItem : public QObject {
    Q_OBJECT
public:
    // The item is as wide as its button's content needs.
    static constexpr qreal variableLength = -1;

    qreal length() const { return m_length; }
    void setLength(qreal length);
    // The width the item takes in the bar, whatever its length mode.
    int width() const;

    // The name under which the bar remembers the item's position. Naming an item the bar has
    // seen before moves it back to where it was.
    QString autosaveName() const { return m_autosaveName; }
    void setAutosaveName(const QString& name);

    StatusBarButton* button() const { return m_button; }

    StatusBar* bar() const { return m_bar; }

Q_SIGNALS:
    void geometryChanged();

private:
    friend class StatusBar;
    StatusItem(StatusBar* bar, qreal length);

    StatusBar* m_bar;
    StatusBarButton* m_button;
    qreal m_length;
    QString m_autosaveName;
};
