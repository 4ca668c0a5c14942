#include <gtest/gtest.h>

#include "base/ThreadToolkit.h"
#include "base/UmbraneAppBase.h"
#include "media/DShowFilterGraph.h"

namespace {

// COM for the test's thread, as the engine holds it.
class EmptyGraph : public ::testing::Test {
 protected:
  UmbraneAppBase process;
};

TEST_F(EmptyGraph, InitialisesOnTheRealDirectShowAndGoesThroughEveryState) {
  DShowFilterGraph graph;
  ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr)) << "graph manager, interfaces, DirectSound renderer";
  EXPECT_FALSE(graph.HasVideo());
  EXPECT_TRUE(graph.Cue());
  EXPECT_TRUE(graph.Run(-1));
  EXPECT_TRUE(graph.Pause());
  EXPECT_TRUE(graph.Stop(-1));
  // Nothing in an empty graph can seek; a restart does not act on the result, and the graph runs on.
  graph.Rewind();
  EXPECT_TRUE(graph.Run(0));
  EXPECT_TRUE(graph.Stop(0));
  EXPECT_TRUE(graph.DetachVideo()) << "nothing to detach";
  EXPECT_TRUE(graph.path().empty());
}

TEST_F(EmptyGraph, VolumeBeforeInitialiseIsOnlyStored) {
  DShowFilterGraph graph;
  EXPECT_TRUE(graph.SetVolume(57));
}

TEST_F(EmptyGraph, TheCompletionEventIsADuplicateOfTheCallersAndLockingNeedsNoGrabber) {
  DShowFilterGraph graph;
  ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
  UniqueHandle mine = CreateEventOrDie(false, false);
  graph.SetCompletionEvent(mine.get());
  graph.SetCompletionEvent(mine.get());  // replacing closes the previous duplicate, not ours
  EXPECT_EQ(WaitForSingleObject(mine.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  graph.SetFrameEvent(mine.get());
  graph.Lock();
  graph.Unlock();
}

TEST_F(EmptyGraph, DestroyingARunningGraphEndsItsEventWatcher) {
  for (int i = 0; i < 3; ++i) {
    DShowFilterGraph graph;
    ASSERT_TRUE(graph.Initialize(nullptr, nullptr, nullptr));
    EXPECT_TRUE(graph.Run(-1));
  }
}

}  // namespace
