// The hand-over of reply pieces between the transfer thread and the sink.
#include "net/body_pipe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(BodyPipe, PushWaitsWhileTooMuchWaitsForTheSink) {
  QByteArray received;
  int wakes = 0;
  BodyPipe pipe([&](const QByteArray& piece) { received += piece; }, [&] { ++wakes; });
  const QByteArray big(BodyPipe::kMaxWaiting + 1, 'a');
  ASSERT_TRUE(pipe.Push(big.constData(), big.size()));
  std::atomic<bool> pushed{false};
  std::thread transfer([&] {
    pipe.Push("b", 1);
    pushed = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(pushed);
  pipe.Drain();
  transfer.join();
  EXPECT_TRUE(pushed);
  pipe.Drain();
  EXPECT_EQ(received, big + "b");
  // Woken only when a piece arrives in an empty pipe.
  EXPECT_EQ(wakes, 2);
}

TEST(BodyPipe, ASinkFailureClosesThePipeAndIsRethrown) {
  int calls = 0;
  BodyPipe pipe(
      [&](const QByteArray&) {
        ++calls;
        throw std::runtime_error("full disk");
      },
      [] {});
  ASSERT_TRUE(pipe.Push("one", 3));
  ASSERT_TRUE(pipe.Push("two", 3));
  pipe.Drain();
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(pipe.Push("three", 5));
  EXPECT_THROW(pipe.RethrowFailure(), std::runtime_error);
}

}  // namespace
