#pragma once

#include <QWidget>

// The floating month calendar's window: frameless, above normal windows, out of taskbars and
// pagers, and able to take the keyboard. Translucent with rounded corners where a compositor
// runs; without one the corners would show black, so it is square and opaque. Tells its owner
// when it loses activation.
class CalPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int height = 326;
    static constexpr int cornerRadius = 12;
    // 294 points, or 322 with the week number column.
    static int widthFor(bool weekNumbers) { return weekNumbers ? 322 : 294; }

    explicit CalPanel(int width);

Q_SIGNALS:
    void deactivated();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    const bool m_rounded;
};
