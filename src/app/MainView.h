#pragma once

#include "platform/Clock.h"

#include <QDateTime>
#include <QWidget>

#include <functional>

class PassThroughLabel;
class CalendarGridView;
class QLabel;
class QPushButton;
class QToolButton;
class Settings;

// The main window's face: the application's icon and name, the current month, the button
// that puts the application into the bar (or, in menu-bar mode, opens its editor) with a line
// saying where it lives, and the settings and messages buttons in the corner.
class MainView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize size{430, 733};

    // The month shown follows `now`.
    MainView(const Settings& settings, Clock now, QWidget* parent = nullptr);

    // The title of the menu-bar button: the editor in menu-bar mode, else whether the status
    // items are in the bar.
    static const char* calButtonTitleKey(bool menuBarMode, bool shown);

    // The button and the status line for the settings of the moment, then the month.
    void refreshCalUI();
    // Whether a panel or the own bar shows the status items that the settings ask for.
    void setStatusItemsPlaced(bool placed);
    // The current month in the title and the grid.
    void refreshMonthPreview();

    QLabel* monthLabel() const { return m_monthLabel; }
    CalendarGridView* gridPreview() const { return m_grid; }
    QPushButton* calButton() const { return m_calButton; }
    QLabel* calStatusLabel() const { return m_calStatus; }
    QToolButton* settingsButton() const { return m_settingsButton; }
    QToolButton* messagesButton() const { return m_messagesButton; }
    PassThroughLabel* messagesBadge() const { return m_messagesBadge; }

Q_SIGNALS:
    void calButtonClicked();
    void settingsRequested();
    void messagesRequested();
    void dayDoubleClicked(const QDateTime& day);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildContent();
    void buildCornerButtons();
    void applyColours();
    bool statusItemsShown() const;

    const Settings& m_settings;
    Clock m_now;
    bool m_statusItemsPlaced = true;
    QLabel* m_icon = nullptr;
    QLabel* m_tagline = nullptr;
    QLabel* m_monthLabel = nullptr;
    CalendarGridView* m_grid = nullptr;
    QPushButton* m_calButton = nullptr;
    QLabel* m_calStatus = nullptr;
    QToolButton* m_settingsButton = nullptr;
    QToolButton* m_messagesButton = nullptr;
    PassThroughLabel* m_messagesBadge = nullptr;
};
