#include "app/MainWindow.h"

#include "app/MainView.h"
#include "app/SettingsView.h"
#include "platform/WindowPlacement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>

#include <algorithm>
#include <utility>

MainWindow::MainWindow(Settings& settings, Clock now, QWidget* parent)
    : QMainWindow(parent), m_views(new QStackedWidget(this)),
      m_mainView(new MainView(settings, std::move(now), m_views)),
      m_settingsView(new SettingsView(settings, m_views)) {
    setWindowTitle("Vesperin");
    m_views->addWidget(m_mainView);
    m_views->addWidget(m_settingsView);
    m_views->setFixedSize(contentSize);
    setCentralWidget(m_views);
    connect(m_settingsView, &SettingsView::backRequested, this, &MainWindow::showMain);
    connect(m_mainView, &MainView::settingsRequested, this, &MainWindow::showSettings);
}

// Placed once, when first shown (its menu bar is there by then); later the user's place stays.
void MainWindow::showEvent(QShowEvent* event) {
    if (!std::exchange(m_placed, true)) {
        if (const QScreen* shownOn = screen())
            fitInto(shownOn->availableGeometry());
    }
    QMainWindow::showEvent(event);
}

void MainWindow::fitInto(const QRect& workArea) {
    const QWidget* bar = menuWidget();
    const int chrome = bar && bar->isVisibleTo(this) ? bar->sizeHint().height() : 0;
    const int room = WindowPlacement::contentRoom(workArea) - chrome;
    m_views->setFixedSize(contentSize.width(),
                          std::clamp(room, int(SettingsView::minimumHeight), contentSize.height()));
    adjustSize();
    WindowPlacement::centreIn(this, workArea);
}

bool MainWindow::showsSettings() const {
    return m_views->currentWidget() == m_settingsView;
}

void MainWindow::showSettings() {
    m_views->setCurrentWidget(m_settingsView);
}

void MainWindow::showMain() {
    m_views->setCurrentWidget(m_mainView);
    // The focus stayed with a control of the hidden settings; Return belongs to the main view.
    m_mainView->calButton()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Q_EMIT closing();
    event->accept();
}
