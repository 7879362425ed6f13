#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// What the user wrote in the problem-report dialog, as typed.
struct ProblemReport {
    QString text;
    QString email;
};

// Asks for a problem report: what happened, in plain text, and optionally an e-mail address
// to answer to. Send accepts the dialog, Cancel (or closing it) rejects it.
class ProblemReportDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize accessorySize{380, 150};

    explicit ProblemReportDialog(QWidget* parent = nullptr);

    ProblemReport report() const;
    void setReport(const ProblemReport& report);

    QPlainTextEdit* textArea() const { return m_text; }
    QLineEdit* emailField() const { return m_email; }
    QPushButton* sendButton() const { return m_send; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QPlainTextEdit* m_text;
    QLineEdit* m_email;
    QPushButton* m_send;
    QPushButton* m_cancel;
};
