#include "harness/FakeClock.h"

namespace {

SystemEvents::Sources sourcesFor(const FakeClock& clock, const QTemporaryDir& zoneFolder) {
    SystemEvents::Sources sources;
    sources.zoneFiles = {zoneFolder.filePath("localtime")};
    sources.now = [&clock] { return clock.now(); };
    return sources;
}

} // namespace

FakeClock::FakeClock() : m_events(sourcesFor(*this, m_zoneFolder)) {}

void FakeClock::jumpBy(qint64 msecs) {
    m_offset += msecs;
    Q_EMIT m_events.clockChanged();
}
