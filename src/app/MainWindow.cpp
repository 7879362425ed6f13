#include "app/MainWindow.h"

#include "app/MainView.h"
#include "app/SettingsView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStackedWidget>

MainWindow::MainWindow(Settings& settings, QWidget* parent)
    : QMainWindow(parent), m_views(new QStackedWidget(this)),
      m_mainView(new MainView(settings, m_views)),
      m_settingsView(new SettingsView(settings, m_views)) {
    setWindowTitle("Vesperin");
    m_views->addWidget(m_mainView);
    m_views->addWidget(m_settingsView);
    m_views->setFixedSize(contentSize);
    setCentralWidget(m_views);
    connect(m_settingsView, &SettingsView::backRequested, this, &MainWindow::showMain);
    connect(m_mainView, &MainView::settingsRequested, this, &MainWindow::showSettings);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool MainWindow::showsSettings() const {
    return m_views->currentWidget() == m_settingsView;
}

void MainWindow::showSettings() {
    m_views->setCurrentWidget(m_settingsView);
}

void MainWindow::showMain() {
    m_views->setCurrentWidget(m_mainView);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Q_EMIT closing();
    event->accept();
}
