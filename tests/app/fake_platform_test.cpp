#include "platform/fake/fake_platform.h"

#include <gtest/gtest.h>

namespace kelvane::platform::fake {
namespace {

TEST(FakePlatform, DeliversPostedMessagesInOrderThenTheQuit) {
    FakePlatform platform;
    std::vector<std::uint32_t> seen;
    auto window = platform.createMainWindow("t", 512, 512,
                                            [&](Window& w, std::uint32_t message, std::uintptr_t, std::intptr_t) {
                                                seen.push_back(message);
                                                if (message == msg::Close) w.destroy();
                                                if (message == msg::Destroy) platform.postQuit(0);
                                                return std::intptr_t{1};
                                            },
                                            nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(platform.window(), window.get());
    platform.showWindow(*window);
    platform.post(msg::KeyDown, vk::Home);
    platform.post(msg::Close);
    platform.post(msg::KeyDown, vk::Left);
    EXPECT_TRUE(platform.pumpMessage());
    EXPECT_TRUE(platform.pumpMessage());
    EXPECT_TRUE(platform.pumpMessage());  // queued before the quit: still delivered
    EXPECT_FALSE(platform.pumpMessage());
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{msg::Create, msg::Size, msg::KeyDown, msg::Close, msg::Destroy,
                                                msg::KeyDown}));
    EXPECT_EQ(platform.quitCode, 0);
    window->destroy();
    EXPECT_EQ(platform.destroyCalls, 2);
    EXPECT_EQ(seen.size(), 6u);  // no second Destroy
    window.reset();
    EXPECT_EQ(platform.window(), nullptr);
}

TEST(FakePlatform, RefusesWindowsAndAnswersFromItsScript) {
    FakePlatform platform;
    platform.failWindowCreation = true;
    std::string error;
    EXPECT_FALSE(platform.createMainWindow("t", 1, 1, nullptr, &error));
    EXPECT_FALSE(error.empty());

    FakeWindow window(platform, "w");
    platform.dialogAnswers = {std::filesystem::path("/a.ebo"), std::nullopt};
    EXPECT_EQ(window.openFileDialog(FileDialogRequest{}), std::filesystem::path("/a.ebo"));
    EXPECT_EQ(window.openFileDialog(FileDialogRequest{}), std::nullopt);
    EXPECT_EQ(window.openFileDialog(FileDialogRequest{}), std::nullopt);  // script exhausted: cancel
    EXPECT_EQ(platform.dialogRequests.size(), 3u);
    platform.bitmaps["/p.bmp"] = Bitmap{1, 1, {1, 2, 3, 0}};
    EXPECT_EQ(platform.loadBitmap("/p.bmp")->bottomUpBgrRows.size(), 4u);
    EXPECT_FALSE(platform.loadBitmap("/q.bmp"));
}

}  // namespace
}  // namespace kelvane::platform::fake
