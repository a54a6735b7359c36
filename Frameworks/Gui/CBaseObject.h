#pragma once

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

#include "Frameworks/Gui/GuiTypes.h"

namespace VSTGUI {

// Reference-counted base of views, bitmaps, fonts and timers. A new object starts with one
// reference owned by its creator; remember() adds one, forget() drops one and deletes the
// object at zero. Containers take over the creator's reference in addView().
class CBaseObject {
 public:
  CBaseObject();
  CBaseObject(const CBaseObject&);
  CBaseObject& operator=(const CBaseObject&) { return *this; }
  virtual ~CBaseObject();

  void remember() { m_refCount.fetch_add(1, std::memory_order_relaxed); }
  void forget();
  int32_t getNbReference() const { return m_refCount.load(std::memory_order_relaxed); }

  // Messages between objects (timers, dependents).
  virtual CMessageResult notify(CBaseObject* sender, IdStringPtr message);

  // Number of CBaseObject instances alive in this process; tests use it to prove that
  // opening and closing frames leaks nothing.
  static int64_t liveObjectCount();

 private:
  std::atomic<int32_t> m_refCount{1};
};

// Objects that tell their dependents about changes by message (notify(this, message)).
class IDependency {
 public:
  virtual ~IDependency() = default;
  void addDependent(CBaseObject* object);
  void removeDependent(CBaseObject* object);
  // Sends message to every dependent (in the order they were added).
  void changed(IdStringPtr message);
  size_t getNbDependents() const { return m_dependents.size(); }

 private:
  std::vector<CBaseObject*> m_dependents;
};

// Owning smart pointer for CBaseObject-derived types (one reference while held).
template <class T>
class SharedPointer {
 public:
  SharedPointer() = default;
  SharedPointer(std::nullptr_t) {}
  // Takes a new reference on ptr (remember).
  SharedPointer(T* ptr, bool remember = true) : m_ptr(ptr) {
    if (m_ptr && remember) m_ptr->remember();
  }
  SharedPointer(const SharedPointer& other) : SharedPointer(other.m_ptr) {}
  template <class U>
  SharedPointer(const SharedPointer<U>& other) : SharedPointer(other.get()) {}
  SharedPointer(SharedPointer&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
  ~SharedPointer() {
    if (m_ptr) m_ptr->forget();
  }
  SharedPointer& operator=(const SharedPointer& other) {
    SharedPointer copy(other);
    std::swap(m_ptr, copy.m_ptr);
    return *this;
  }
  SharedPointer& operator=(SharedPointer&& other) noexcept {
    std::swap(m_ptr, other.m_ptr);
    return *this;
  }
  SharedPointer& operator=(T* ptr) {
    SharedPointer copy(ptr);
    std::swap(m_ptr, copy.m_ptr);
    return *this;
  }

  T* get() const { return m_ptr; }
  T* operator->() const { return m_ptr; }
  T& operator*() const { return *m_ptr; }
  operator T*() const { return m_ptr; }
  explicit operator bool() const { return m_ptr != nullptr; }

  // Hands over a new object's creation reference without adding one.
  static SharedPointer adopt(T* ptr) { return SharedPointer(ptr, false); }

 private:
  T* m_ptr = nullptr;
};

// Wraps a newly created object (whose creation reference the pointer takes over).
template <class T>
SharedPointer<T> owned(T* ptr) {
  return SharedPointer<T>::adopt(ptr);
}

template <class T, class... Args>
SharedPointer<T> makeOwned(Args&&... args) {
  return SharedPointer<T>::adopt(new T(std::forward<Args>(args)...));
}

}  // namespace VSTGUI
