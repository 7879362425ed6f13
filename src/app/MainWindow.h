#pragma once

#include "platform/Clock.h"

#include <QMainWindow>

class MainView;
class QStackedWidget;
class Settings;
class SettingsView;

// The application's window: the main view or, in its place, the settings view. Closing it
// never ends the application: the owner is told and decides (in Dock mode it moves the
// application into the status bar). The view shown survives a close.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr QSize contentSize{430, 733};

    MainWindow(Settings& settings, Clock now, QWidget* parent = nullptr);

    MainView* mainView() const { return m_mainView; }
    SettingsView* settingsView() const { return m_settingsView; }
    bool showsSettings() const;
    void showSettings();
    void showMain();
    // The views as tall as they are designed where the screen's work area has room, else as
    // tall as it allows (never below what the settings need), and the window centred in it.
    void fitInto(const QRect& workArea);

Q_SIGNALS:
    // The window is closing (by the user, or on the way out of the application).
    void closing();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QStackedWidget* m_views;
    MainView* m_mainView;
    SettingsView* m_settingsView;
    bool m_placed = false;
};
