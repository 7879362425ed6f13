#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the modal dialogs that open while it lives, from the dialogs' own event loops: a test
// cannot return from a dialog's exec() until the dialog ends. By default the active modal
// window is handed to `answer` every few milliseconds; once per new modal, each window is
// handed over once, when it has the focus and a moment after, as a person answers what has
// just come up (for dialogs answered with the real pointer and keyboard).
class ModalAnswerer {
public:
    enum When { whileOpen, oncePerNewModal };

    explicit ModalAnswerer(std::function<void(QWidget*)> answer, When when = whileOpen) {
        m_timer.setInterval(when == oncePerNewModal ? 100 : 10);
        QObject::connect(&m_timer, &QTimer::timeout, [this, when, answer = std::move(answer)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (when == oncePerNewModal) {
                if (modal == m_answered || !modal->isActiveWindow())
                    return;
                m_answered = modal;
                QTest::qWait(100);
                if (!m_answered)
                    return; // closed meanwhile
            }
            answer(modal);
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
    QPointer<QWidget> m_answered;
};
