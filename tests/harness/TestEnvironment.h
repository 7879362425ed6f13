#pragma once

#include <QString>
#include <QTemporaryDir>

// The fixed world every test process runs in, whether CTest or a person starts it: offscreen
// windows, Paris time, US English, no session bus, a closed port for the service, and a home,
// XDG folders and runtime folder of its own in a temporary folder that disappears with the
// object, so no test ever sees the user's files or running application.
class TestEnvironment {
public:
    // Sets the process's environment; isReady() says whether every folder could be made.
    TestEnvironment();

    bool isReady() const { return m_ready; }

private:
    bool install();

    QTemporaryDir m_home;
    bool m_ready = false;
};
