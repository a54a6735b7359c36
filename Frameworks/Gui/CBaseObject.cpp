#include "Frameworks/Gui/CBaseObject.h"

#include <algorithm>

#include "Frameworks/Core/Assert.h"

namespace VSTGUI {

namespace {
std::atomic<int64_t> liveObjects{0};
}

CBaseObject::CBaseObject() { liveObjects.fetch_add(1, std::memory_order_relaxed); }

CBaseObject::CBaseObject(const CBaseObject&) : CBaseObject() {}

CBaseObject::~CBaseObject() { liveObjects.fetch_sub(1, std::memory_order_relaxed); }

void CBaseObject::forget() {
  const int32_t before = m_refCount.fetch_sub(1, std::memory_order_acq_rel);
  CORE_ASSERT(before > 0);
  if (before == 1) delete this;
}

CMessageResult CBaseObject::notify(CBaseObject*, IdStringPtr) { return kMessageUnknown; }

int64_t CBaseObject::liveObjectCount() { return liveObjects.load(std::memory_order_relaxed); }

void IDependency::addDependent(CBaseObject* object) {
  if (object && std::find(m_dependents.begin(), m_dependents.end(), object) == m_dependents.end())
    m_dependents.push_back(object);
}

void IDependency::removeDependent(CBaseObject* object) {
  m_dependents.erase(std::remove(m_dependents.begin(), m_dependents.end(), object), m_dependents.end());
}

void IDependency::changed(IdStringPtr message) {
  // A dependent may remove itself (or others) while being told; work on a copy.
  const auto dependents = m_dependents;
  auto* sender = dynamic_cast<CBaseObject*>(this);
  for (CBaseObject* dependent : dependents) {
    if (std::find(m_dependents.begin(), m_dependents.end(), dependent) != m_dependents.end())
      dependent->notify(sender, message);
  }
}

}  // namespace VSTGUI
