#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>

#include <optional>

// A private X server (Xvfb) for tests that run the real program in real windows.
class VirtualDisplay {
public:
    VirtualDisplay(int width = 1280, int height = 800);
    ~VirtualDisplay();

    bool isRunning() const { return !m_name.isEmpty(); }
    // ":N", for DISPLAY.
    QString name() const { return m_name; }
    QProcessEnvironment environment() const;

    // The frame of the first top-level window with this title, in root coordinates.
    std::optional<QRect> windowFrame(const QString& title) const;
    // A property of that window as xprop prints it, e.g. "_NET_WM_STRUT_PARTIAL".
    QString windowProperty(const QString& title, const QString& property) const;
    // A screenshot of the whole screen, or of `area`.
    QImage screenshot(const QRect& area = {}) const;

private:
    QByteArray run(const QString& program, const QStringList& arguments) const;

    QProcess m_server;
    QString m_name;
};
