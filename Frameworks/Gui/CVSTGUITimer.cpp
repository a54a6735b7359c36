#include "Frameworks/Gui/CVSTGUITimer.h"

#include <algorithm>
#include <vector>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

namespace {
// Timers belong to the user-interface thread; this list is only touched there.
std::vector<CVSTGUITimer*>& runningTimers() {
  static std::vector<CVSTGUITimer*> timers;
  return timers;
}
uint64_t lastNow = 0;
}  // namespace

CVSTGUITimer::CVSTGUITimer(const CallbackFunc& callback, uint32_t fireTime, bool doStart)
    : m_callback(callback), m_fireTime(fireTime) {
  if (doStart) start();
}

CVSTGUITimer::CVSTGUITimer(CBaseObject* timerObject, uint32_t fireTime, bool doStart)
    : m_timerObject(timerObject), m_fireTime(fireTime) {
  if (doStart) start();
}

CVSTGUITimer::~CVSTGUITimer() { stop(); }

bool CVSTGUITimer::start() {
  if (m_running) return false;
  m_running = true;
  m_nextFire = lastNow + m_fireTime;
  runningTimers().push_back(this);
  return true;
}

bool CVSTGUITimer::stop() {
  if (!m_running) return false;
  m_running = false;
  auto& timers = runningTimers();
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
  return true;
}

bool CVSTGUITimer::setFireTime(uint32_t newFireTime) {
  m_fireTime = newFireTime;
  if (m_running) m_nextFire = lastNow + m_fireTime;
  return true;
}

void CVSTGUITimer::fire() {
  if (m_callback)
    m_callback(this);
  else if (m_timerObject)
    m_timerObject->notify(this, kMsgTimer);
}

int CVSTGUITimer::fireDueTimers(uint64_t now) {
  // The first call only sets the clock, so that timers started before any idle count from it;
  // a clock that went backwards (another clock source) restarts every period the same way.
  if (lastNow == 0 || now < lastNow) {
    for (CVSTGUITimer* timer : runningTimers()) timer->m_nextFire = now + timer->m_fireTime;
    lastNow = now;
    return 0;
  }
  lastNow = now;
  // Copy: callbacks start and stop timers (their own too).
  const auto timers = runningTimers();
  int fired = 0;
  for (CVSTGUITimer* timer : timers) {
    auto& live = runningTimers();
    if (std::find(live.begin(), live.end(), timer) == live.end()) continue;  // stopped meanwhile
    if (now < timer->m_nextFire) continue;
    timer->m_nextFire = now + timer->m_fireTime;
    SharedPointer<CVSTGUITimer> keep(timer);  // the callback may drop the last reference
    timer->fire();
    ++fired;
  }
  return fired;
}

int CVSTGUITimer::fireDueTimers() { return fireDueTimers(getPlatformFactory().getTicks()); }

int CVSTGUITimer::runningTimerCount() { return static_cast<int>(runningTimers().size()); }

}  // namespace VSTGUI
