#include <gtest/gtest.h>

#include <atomic>

#include <objbase.h>

#include <clocale>
#include <memory>
#include <string>

#include "base/FatalCheck.h"
#include "base/ThreadToolkit.h"
#include "base/UmbraneAppBase.h"

namespace {

TEST(ThreadToolkit, StopWaitsForTheBodyAndStopWithoutStartIsTrue) {
  Thread idle;
  EXPECT_TRUE(idle.Stop());

  std::atomic<bool> finished{false};
  Thread worker;
  worker.Start(
      [&] {
        WaitAny({worker.stopEvent()});
        Sleep(30);
        finished = true;
      },
      false);
  EXPECT_TRUE(worker.Stop());
  EXPECT_TRUE(finished);
}

// An object whose last owner is its own worker's body is destroyed on that worker: the stop cannot
// wait there, and the body goes on to its end with what it holds.
TEST(ThreadToolkit, AThreadDestroyedByItsOwnBodyEnds) {
  auto worker = std::make_unique<Thread>();
  const UniqueHandle finished = CreateEventOrDie(true, false);
  Thread* const self = worker.get();
  const std::string kept = "the body's own copy";
  worker->Start(
      [&worker, self, kept, event = finished.get()] {
        EXPECT_FALSE(self->Stop());
        worker.reset();
        EXPECT_EQ(kept, "the body's own copy");
        SetEvent(event);
      },
      false);
  EXPECT_EQ(WaitForSingleObject(finished.get(), 20000), WAIT_OBJECT_0);
}

TEST(ThreadToolkit, AThreadLeftSuspendedStillStops) {
  std::atomic<bool> ran{false};
  Thread worker;
  worker.Start([&] { ran = true; }, true);
  EXPECT_TRUE(worker.Stop());
  EXPECT_TRUE(ran);
}

TEST(ThreadToolkit, WaitAnyAnswersWithTheHandleAndPrefersListOrder) {
  UniqueHandle first = CreateEventOrDie(true, false);
  UniqueHandle second = CreateEventOrDie(true, false);
  SetEventOrDie(second.get());
  EXPECT_EQ(WaitAny({first.get(), second.get()}), second.get());
  SetEventOrDie(first.get());
  EXPECT_EQ(WaitAny({first.get(), second.get()}), first.get());
  EXPECT_EQ(WaitAnyFor({CreateEventOrDie(false, false).get()}, 10), nullptr);
}

TEST(ThreadToolkit, DuplicateOutlivesTheOriginal) {
  UniqueHandle original = CreateEventOrDie(false, false);
  UniqueHandle copy(DuplicateForWait(original.get()));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.get(), original.get());
  SetEventOrDie(original.get());
  original.reset();
  EXPECT_EQ(WaitForSingleObject(copy.get(), 0), WAIT_OBJECT_0);
}

TEST(ThreadToolkit, LightWeightMutexIsRecursiveAndExcludesOtherThreads) {
  LightWeightMutex mutex;
  std::atomic<int> insideOther{0};
  mutex.Lock();
  mutex.Lock();  // recursive on one thread
  Thread other;
  other.Start(
      [&] {
        LockGuard guard(mutex);
        insideOther = 1;
      },
      false);
  Sleep(50);
  EXPECT_EQ(insideOther, 0);
  mutex.Unlock();
  Sleep(20);
  EXPECT_EQ(insideOther, 0);
  mutex.Unlock();
  EXPECT_TRUE(other.Stop());
  EXPECT_EQ(insideOther, 1);
}

// The locale is process-wide: a worker or a second object that set it again would free it under
// the feet of threads formatting numbers (that crashed under this runtime).
TEST(ThreadToolkit, NeitherWorkersNorLaterObjectsSetTheProcessLocaleAgain) {
  { UmbraneAppBase first; }
  const std::string before = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  Thread worker;
  worker.Start([] {}, false);
  EXPECT_TRUE(worker.Stop());
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C") << "a worker set the locale";
  { UmbraneAppBase second; }
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C") << "a second object set the locale";
  std::setlocale(LC_ALL, before.c_str());
}

// A host thread already in a single-threaded apartment keeps its COM initialisation: the object
// uninitialises only what it initialised.
TEST(ThreadToolkit, AppBaseBalancesOnlyItsOwnComInitialisation) {
  HRESULT again = E_FAIL;
  Thread host;
  host.Start(
      [&] {
        if (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) != S_OK) return;
        { UmbraneAppBase object; }  // its multithreaded initialisation fails: changed mode
        again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
      },
      false);
  EXPECT_TRUE(host.Stop());
  EXPECT_EQ(again, S_FALSE) << "the apartment of the host thread must still be there";
}

// A fatal check on a worker must end the process even while another thread waits for that very
// worker (the engine's destructor does exactly that).
TEST(FatalCheckDeathTest, OnAWorkerEndsTheProcessWithStatusZero) {
  EXPECT_EXIT(
      {
        Thread worker;
        worker.Start(
            [] {
              Sleep(20);
              Fatal("test");
            },
            false);
        worker.Stop();
        Sleep(INFINITE);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(FatalCheckDeathTest, AFailedWaitIsFatal) {
  EXPECT_EXIT(WaitAny(std::vector<HANDLE>{}), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(WaitAny({reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x7FFFFF0))}), ::testing::ExitedWithCode(0), "");
}

}  // namespace
