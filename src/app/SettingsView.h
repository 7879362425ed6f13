#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class Settings;

// Every setting of the application, in place of the main view inside the main window. Each
// control acts at once, and shows what the settings hold, also when they change elsewhere.
// The calendar and update settings are written here; the controls whose effect belongs to the
// shell (the mode, the login item, the compact clock, the editor, checks, the reports) are
// reported by signals.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* makerAddress = "https://orvennalabs.com";
    static constexpr int fullHeight = 733;
    // The controls end above 460; below them the mark and the maker's lines need 170.
    static constexpr int minimumHeight = 630;

    explicit SettingsView(Settings& settings, QWidget* parent = nullptr);

    // The state shown by the controls that do not live in the settings.
    void setLoginItemEnabled(bool enabled);
    // The compact clock's box shows only where the desktop shows a clock it changes.
    void setCompactClockAvailable(bool available);

    QToolButton* backButton() const { return m_back; }
    QPushButton* editorButton() const { return m_editor; }
    QComboBox* weekdayPopUp() const { return m_weekday; }
    QCheckBox* weekNumbersBox() const { return m_weekNumbers; }
    QCheckBox* automaticUpdatesBox() const { return m_automaticUpdates; }
    QCheckBox* menuBarModeBox() const { return m_menuBarMode; }
    QCheckBox* loginItemBox() const { return m_loginItem; }
    QCheckBox* compactClockBox() const { return m_compactClock; }
    QPushButton* checkUpdatesButton() const { return m_checkUpdates; }
    QPushButton* reportButton() const { return m_report; }
    QPushButton* makerLink() const { return m_makerLink; }

Q_SIGNALS:
    void backRequested();
    void editorRequested();
    void menuBarModeToggled(bool on);
    void loginItemToggled(bool on);
    void compactClockToggled(bool on);
    void checkForUpdatesRequested();
    void reportProblemRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildHeader();
    void buildCalendarCard();
    void buildApplicationCard();
    void buildFooter();
    void showSettings();
    void applyColours();

    Settings& m_settings;
    QToolButton* m_back = nullptr;
    QPushButton* m_editor = nullptr;
    QComboBox* m_weekday = nullptr;
    QCheckBox* m_weekNumbers = nullptr;
    QCheckBox* m_automaticUpdates = nullptr;
    QCheckBox* m_menuBarMode = nullptr;
    QCheckBox* m_loginItem = nullptr;
    QCheckBox* m_compactClock = nullptr;
    QPushButton* m_checkUpdates = nullptr;
    QPushButton* m_report = nullptr;
    QLabel* m_makerLine = nullptr;
    QList<QWidget*> m_footer;
    QList<int> m_footerOffsets;
    QLabel* m_version = nullptr;
    QPushButton* m_makerLink = nullptr;
};
