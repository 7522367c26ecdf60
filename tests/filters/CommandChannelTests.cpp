// CommandChannel: each caller gets its own command's result, also after an earlier caller gave
// up waiting, and commands reach the capture thread in the order given.
#include <gtest/gtest.h>

#include <thread>

#include "filters/wine/audiocapture/CommandChannel.h"

using audiocapture::CommandChannel;

namespace {

TEST(CommandChannel, ALateCompletionIsNotTheNextCommandsResult) {
    CommandChannel<int> channel;
    ASSERT_TRUE(channel.Create());
    // The capture thread is busy: the first caller times out.
    EXPECT_EQ(channel.Run(1, 20), HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    std::thread capture([&] {
        for (int done = 0; done < 2;) {
            WaitForSingleObject(channel.PostedEvent(), 100);
            while (auto posted = channel.Take()) {
                channel.Complete(posted->id, posted->command == 1 ? E_FAIL : S_FALSE);
                ++done;
                Sleep(100); // the second caller waits while only the first is done
            }
        }
    });
    EXPECT_EQ(channel.Run(2, 5000), S_FALSE);
    capture.join();
}

TEST(CommandChannel, CommandsArriveInOrder) {
    CommandChannel<int> channel;
    ASSERT_TRUE(channel.Create());
    channel.Post(7);
    channel.Post(8);
    auto first = channel.Take();
    auto second = channel.Take();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->command, 7);
    EXPECT_EQ(second->command, 8);
    EXPECT_LT(first->id, second->id);
    EXPECT_FALSE(channel.Take());
}

} // namespace
