#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>

#include <optional>

// A private 1280 x 800 X server (Xvfb) for tests that run the real program in real windows.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();

    bool isRunning() const { return !m_name.isEmpty(); }
    // The display's name for DISPLAY, such as ":5".
    QString name() const { return m_name; }
    QProcessEnvironment environment() const;

    // The frame of the first top-level window with this title, in root coordinates.
    std::optional<QRect> windowFrame(const QString& title) const;
    // A property of that window as xprop prints it, e.g. "_NET_WM_STRUT_PARTIAL".
    QString windowProperty(const QString& title, const QString& property) const;
    QImage screenshot(const QRect& area) const;

private:
    QByteArray run(const QString& program, const QStringList& arguments) const;

    QProcess m_server;
    QString m_name;
};
