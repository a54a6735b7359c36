#pragma once

// Internal consistency checks. A failed check names the condition, the source file and the
// line on stderr. Debug builds and the test programs abort; a release plug-in reports and lets
// the calling code take its safe path, because a plug-in must never bring its host down.
//
//     if (!CORE_CHECK(id < count)) return;      // check with a fallback
//     CORE_ASSERT(m_definitions.size() - 1 == id); // check without one

namespace core {

// Reports the failure and, when aborting is on, aborts. Returns false so that CORE_CHECK
// can be used as a condition.
bool assertionFailed(const char* condition, const char* file, int line);

// Whether a failed check aborts the process (on in Debug builds and in the test programs).
void setAssertionsAbort(bool abort);
bool assertionsAbort();

}  // namespace core

#define CORE_CHECK(cond) ((cond) ? true : ::core::assertionFailed(#cond, __FILE__, __LINE__))
#define CORE_ASSERT(cond) static_cast<void>(CORE_CHECK(cond))
