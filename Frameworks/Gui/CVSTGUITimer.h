#pragma once

#include <functional>

#include "Frameworks/Gui/CBaseObject.h"

namespace VSTGUI {

// A repeating timer. Timers have no thread of their own: every frame's idle() fires the
// timers that are due, on the user-interface thread. A timer fires at most once per idle pass
// even when several periods have passed (it does not catch up).
class CVSTGUITimer : public CBaseObject {
 public:
  using CallbackFunc = std::function<void(CVSTGUITimer*)>;
  static constexpr IdStringPtr kMsgTimer = "timer fired";

  // Calls callback every fireTime milliseconds.
  CVSTGUITimer(const CallbackFunc& callback, uint32_t fireTime = 100, bool doStart = true);
  // Sends timerObject->notify(this, kMsgTimer) every fireTime milliseconds.
  CVSTGUITimer(CBaseObject* timerObject, uint32_t fireTime = 100, bool doStart = false);
  ~CVSTGUITimer() override;

  bool start();
  bool stop();
  bool isRunning() const { return m_running; }
  bool setFireTime(uint32_t newFireTime);
  uint32_t getFireTime() const { return m_fireTime; }

  // Fires every running timer whose time has come; returns how many fired. The frames call it
  // from idle with the back end's clock; tests call it with their own clock.
  static int fireDueTimers(uint64_t nowMilliseconds);
  static int fireDueTimers();
  // Number of running timers (tests check that views stop theirs).
  static int runningTimerCount();

 private:
  void fire();

  CallbackFunc m_callback;
  CBaseObject* m_timerObject = nullptr;
  uint32_t m_fireTime;
  uint64_t m_nextFire = 0;
  bool m_running = false;
};

}  // namespace VSTGUI
