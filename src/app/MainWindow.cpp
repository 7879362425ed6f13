#include "app/MainWindow.h"

#include <QCloseEvent>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Vesperin");
    setCentralWidget(new QWidget(this));
    setFixedSize(contentSize);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Q_EMIT closing();
    event->accept();
}
