#pragma once

#include <QMainWindow>

// The application's window in Dock mode. Closing it never ends the application: the owner
// is told first and moves the application into the status bar.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr QSize contentSize{430, 733};

    explicit MainWindow(QWidget* parent = nullptr);

Q_SIGNALS:
    // The window is closing (by the user, or on the way out of the application).
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
};
