#include "base/ThreadToolkit.h"

#include "base/FatalCheck.h"

LightWeightMutex::LightWeightMutex() { InitializeCriticalSection(&section_); }
LightWeightMutex::~LightWeightMutex() { DeleteCriticalSection(&section_); }
void LightWeightMutex::Lock() { EnterCriticalSection(&section_); }
void LightWeightMutex::Unlock() { LeaveCriticalSection(&section_); }

UniqueHandle CreateEventOrDie(bool manualReset, bool initiallySet) {
  HANDLE event = CreateEventW(nullptr, manualReset ? TRUE : FALSE, initiallySet ? TRUE : FALSE, nullptr);
  if (event == nullptr) FatalLastError("CreateEvent");
  return UniqueHandle(event);
}

void SetEventOrDie(HANDLE event) {
  if (!SetEvent(event)) FatalLastError("SetEvent");
}

void ResetEventOrDie(HANDLE event) {
  if (!ResetEvent(event)) FatalLastError("ResetEvent");
}

Thread::Thread() : stopEvent_(CreateEventOrDie(true, false)) {}

Thread::~Thread() {
  if (handle_) Stop();
}

void Thread::Start(Body body, bool suspended) {
  body_ = std::move(body);
  HANDLE thread = CreateThread(nullptr, 0, &Thread::Entry, this, suspended ? CREATE_SUSPENDED : 0, &id_);
  if (thread == nullptr) FatalLastError("CreateThread");
  handle_.reset(thread);
}

bool Thread::Stop() {
  if (!handle_) return true;
  SetEventOrDie(stopEvent_.get());
  if (GetCurrentThreadId() == id_) return false;
  // A thread still suspended never gets to see the stop event: let it run so that it can end.
  ResumeThread(handle_.get());
  return WaitForSingleObject(handle_.get(), INFINITE) == WAIT_OBJECT_0;
}

void Thread::Resume() {
  if (handle_ && ResumeThread(handle_.get()) == static_cast<DWORD>(-1)) FatalLastError("ResumeThread");
}

DWORD WINAPI Thread::Entry(void* self) {
  // The locale is not set here: with this runtime it is process-wide, and setting it frees the old
  // one while other threads may be formatting or parsing numbers. UmbraneAppBase sets it once,
  // before any worker exists.
  // A copy: the Thread may be destroyed by its own body (see Stop).
  const Body body = static_cast<Thread*>(self)->body_;
  body();
  return 0;
}

HANDLE WaitAnyFor(const std::vector<HANDLE>& handles, DWORD timeoutMs) {
  if (handles.empty() || handles.size() > MAXIMUM_WAIT_OBJECTS) Fatal("WaitAny: bad handle list");
  const DWORD count = static_cast<DWORD>(handles.size());
  const DWORD result = WaitForMultipleObjects(count, handles.data(), FALSE, timeoutMs);
  if (result == WAIT_TIMEOUT && timeoutMs != INFINITE) return nullptr;
  if (result >= WAIT_OBJECT_0 + count) FatalLastError("WaitForMultipleObjects");
  return handles[result - WAIT_OBJECT_0];
}

HANDLE WaitAny(const std::vector<HANDLE>& handles) { return WaitAnyFor(handles, INFINITE); }

HANDLE WaitAny(std::initializer_list<HANDLE> handles) { return WaitAny(std::vector<HANDLE>(handles)); }

UniqueHandle DuplicateForWait(HANDLE handle) {
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
    FatalLastError("DuplicateHandle");
  }
  return UniqueHandle(copy);
}
