#pragma once
// The small threading toolkit the engine and its loops are built on.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "base/UniqueHandle.h"

class ILockable {
 public:
  virtual ~ILockable() = default;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
};

// A critical section: recursive on one thread.
class LightWeightMutex : public ILockable {
 public:
  LightWeightMutex();
  ~LightWeightMutex() override;
  LightWeightMutex(const LightWeightMutex&) = delete;
  LightWeightMutex& operator=(const LightWeightMutex&) = delete;

  void Lock() override;
  void Unlock() override;

 private:
  CRITICAL_SECTION section_;
};

// Scope guard for any ILockable.
class LockGuard {
 public:
  explicit LockGuard(ILockable& lockable) : lockable_(lockable) { lockable_.Lock(); }
  ~LockGuard() { lockable_.Unlock(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  ILockable& lockable_;
};

// One worker thread running one body, at most once. A body learns that it must finish by waiting on
// stopEvent() among its handles.
class Thread {
 public:
  using Body = std::function<void()>;

  Thread();
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  void Start(Body body, bool suspended);
  // Sets the stop event and waits for the body to return; true once it has. On the thread itself
  // (an object its own body released last, being destroyed there) it cannot wait: it only sets the
  // event and answers false, and the body ends on its own.
  bool Stop();
  void Resume();

  HANDLE handle() const { return handle_.get(); }
  DWORD id() const { return id_; }
  HANDLE stopEvent() const { return stopEvent_.get(); }

 private:
  static DWORD WINAPI Entry(void* self);

  UniqueHandle handle_;
  DWORD id_ = 0;
  UniqueHandle stopEvent_;
  Body body_;
};

// An unnamed event; creation failure is fatal.
UniqueHandle CreateEventOrDie(bool manualReset, bool initiallySet);
void SetEventOrDie(HANDLE event);
void ResetEventOrDie(HANDLE event);

// Waits until any one handle is signalled and returns that handle (callers compare handles, not
// indexes). An empty list, a failed wait or an abandoned wait is fatal.
HANDLE WaitAny(const std::vector<HANDLE>& handles);
HANDLE WaitAny(std::initializer_list<HANDLE> handles);
// Like WaitAny with a time-out in milliseconds: returns null when it ran out.
HANDLE WaitAnyFor(const std::vector<HANDLE>& handles, DWORD timeoutMs);

// A handle of our own to an object someone else owns, so that its lifetime is ours.
UniqueHandle DuplicateForWait(HANDLE handle);
