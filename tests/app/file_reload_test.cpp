// Following files on disk: when a change is taken, and what a reload keeps
// or, failing, leaves alone.
#include "app/file_reload.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "app/menus.h"
#include "app_test_support.h"
#include "platform/inotify_watch.h"
#include "tests/builders/test_files.h"

namespace kelvane {
namespace {

using namespace apptest;
using Bytes = std::vector<std::uint8_t>;

std::vector<std::uint8_t> modelOf(const Labels& names) {
    std::vector<writers::EboObject> objects;
    for (const auto& name : names) objects.push_back(test::quadObject(name));
    return writers::makeEbo(objects, Generation::Current);
}

// A change is taken once the file has looked the same on two checks, and
// once; a follower turned off (--no-watch) never checks.
TEST(FileFollower, TakesAChangeOnceTheFileHasSettled) {
    const auto path = scratchDir() / "head.ebo";
    writers::writeFile(path, {1, 2, 3});
    FileFollower follower, off;
    const auto t0 = FileFollower::Clock::now();
    const auto i = FileFollower::kCheckInterval;
    follower.follow(path, FileKind::Ebo, signatureOf(path), t0);
    EXPECT_EQ(follower.untilNextCheck(t0), i);
    writers::writeFile(path, {1, 2, 3, 4});
    EXPECT_TRUE(follower.changesAt(t0 + 2 * i).empty());  // being written, perhaps
    writers::writeFile(path, {1, 2, 3, 4, 5});
    EXPECT_TRUE(follower.changesAt(t0 + 3 * i).empty());  // still moving
    EXPECT_TRUE(follower.changesAt(t0 + 3 * i + std::chrono::milliseconds(100)).empty());  // not yet the next check
    const auto changes = follower.changesAt(t0 + 4 * i);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(std::pair(changes[0].path, changes[0].kind), std::pair(path, FileKind::Ebo));
    EXPECT_TRUE(follower.changesAt(t0 + 5 * i).empty());
    off.enabled = false;
    off.follow(path, FileKind::Ebo, signatureOf(path), t0);
    EXPECT_EQ(off.untilNextCheck(t0), std::nullopt);
}

// With the system's notices the follower sleeps until a followed file
// changes: a write in place, a new file renamed over it, a delete and a new
// file of its name are each taken once settled, as on a timer; a save of
// another file beside it wakes nothing. When its folder goes, it looks on a
// timer again.
TEST(FileFollower, SleepsUntilTheSystemTellsOfAChangeToAFollowedFile) {
    platform::InotifyWatch watch;
    const auto dir = scratchDir();
    const auto path = dir / "head.ebo";
    writers::writeFile(path, {1, 2, 3});
    FileFollower follower;
    follower.watch = &watch;
    const auto i = FileFollower::kCheckInterval;
    auto t = FileFollower::Clock::now();
    follower.follow(path, FileKind::Ebo, signatureOf(path), t);
    EXPECT_TRUE(follower.changesAt(t += i).empty());  // the one look after the read
    writers::writeFile(dir / "other.ebo", {9});
    EXPECT_TRUE(follower.changesAt(t += i).empty());
    EXPECT_EQ(follower.untilNextCheck(t), std::nullopt);
    const std::function<void()> saves[] = {
        [&] { std::ofstream(path, std::ios::binary | std::ios::app) << 'x'; },
        [&] {
            writers::writeFile(dir / "head.tmp", {1, 2, 3, 4, 5});
            std::filesystem::rename(dir / "head.tmp", path);
        },
        [&] {
            std::filesystem::remove(path);
            writers::writeFile(path, {1, 2, 3, 4, 5, 6});
        },
    };
    for (const auto& save : saves) {
        save();
        EXPECT_TRUE(follower.changesAt(t += 10 * i).empty());  // seen once, at once
        EXPECT_EQ(follower.untilNextCheck(t), i);
        EXPECT_EQ(follower.changesAt(t += i).size(), 1u);
        EXPECT_EQ(follower.untilNextCheck(t), std::nullopt);
    }
    std::filesystem::remove_all(dir);
    EXPECT_TRUE(follower.changesAt(t += i).empty());
    EXPECT_EQ(follower.untilNextCheck(t), i);
}

// A file refused whole (a picture too large, a model that cannot be opened)
// changes neither the files the title names as shown nor those followed. A
// model opened alone brings the archive beside it; a texture named with it
// wins. A file saved as a new one renamed over the old, with the old size
// and time, is a change.
TEST(FileFollower, FollowsTheFilesShownWhateverWasRefused) {
    ViewerHarness h(Generation::Current);
    const auto dir = scratchDir();
    const auto model = dir / "head.ebo", green = dir / "green.bmp", huge = dir / "huge.bmp";
    writers::writeFile(model, modelOf({"head"}));
    writeArchive(dir / "head.FSH", {"skin"});
    for (const auto& picture : {green, huge}) writers::writeFile(picture, {1});
    h.platform.bitmaps[green] = makeBitmap(2, 2);
    h.platform.bitmaps[huge] = makeBitmap(1025, 2);
    testing::internal::CaptureStderr();
    openFiles(h.viewer, {model});
    EXPECT_EQ(h.window.title(), "head.ebo, head.FSH - Kelvane v0.7");
    openFiles(h.viewer, {model, green, huge});
    h.load(cmd::LoadEbo, dir / "gone.ebo");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(h.window.title(), "gone.ebo: cannot open file: no such file - head.ebo, green.bmp - Kelvane v0.7");

    const auto t = FileFollower::Clock::now();
    const auto replaced = dir / "saved.tmp";
    writers::writeFile(replaced, {2});
    std::filesystem::last_write_time(replaced, std::filesystem::last_write_time(green));
    std::filesystem::rename(replaced, green);
    writers::writeFile(huge, {1, 2});
    EXPECT_TRUE(h.viewer.follower.changesAt(t + std::chrono::seconds(1)).empty());
    const auto changes = h.viewer.follower.changesAt(t + std::chrono::seconds(2));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].path, green);
}

// Objects shown and Light stay while the object count holds; another count
// shows the objects as a load does. The view stays either way.
TEST(Reload, ModelKeepsTheViewAndObjectStatesWhileTheObjectCountHolds) {
    ViewerHarness h(Generation::Current);
    const auto model = scratchDir() / "head.ebo";
    writers::writeFile(model, modelOf({"head", "eyes"}));
    ASSERT_TRUE(openFile(h.viewer, model));
    h.command(cmd::FirstObject + 1);
    h.command(cmd::Light);
    turn(h.viewer.view);
    for (const auto& [names, checked] : {std::pair{Labels{"face", "lids"}, Ids{1010, 1011}},
                                         std::pair{Labels{"face", "lids", "hair"}, Ids{1010, cmd::Light}}}) {
        writers::writeFile(model, modelOf(names));
        EXPECT_TRUE(reloadFile(h.viewer, FileKind::Ebo, model));
        EXPECT_EQ(fields(h.viewer.view), kTurned);
        EXPECT_EQ(h.checkedIds("<EBO>"), checked) << names.size();
    }
}

TEST(Reload, ArchiveKeepsTheChosenImageOrBlankWhereThatSlotStillExists) {
    // The item chosen from three images (item 3 is Blank), the images then saved, the slot shown after.
    for (const auto& [chosen, after, slot] : {std::tuple{2, Labels{"x", "y", "z"}, 2}, std::tuple{2, Labels{"x", "y"}, 0},
                                              std::tuple{3, Labels{"x", "y"}, 2}}) {  // Blank stays Blank
        ViewerHarness h(Generation::Current);
        const auto archive = scratchDir() / "faces.fsh";
        writeArchive(archive, {"a", "b", "c"});
        ASSERT_TRUE(openFile(h.viewer, archive));
        h.command(cmd::FirstTexture + chosen);
        writeArchive(archive, after);
        EXPECT_TRUE(reloadFile(h.viewer, FileKind::Fsh, archive));
        EXPECT_EQ(std::tuple(h.viewer.textures.currentSlot, h.checkedIds("<FSH>"), h.viewer.textures.slotCount),
                  std::tuple(std::uint32_t(slot), Ids{1030 + slot}, after.size()));
    }
}

// The stores hold the bytes their load read, not the file: a version written
// in place over the shown one that does not read cleanly leaves every array
// as it was, and a clean one replaces them whole.
TEST(Reload, OnlyACleanReadReplacesTheArraysShownWhateverBecomesOfTheFile) {
    ViewerHarness h(Generation::Current);
    const auto dir = scratchDir();
    const auto model = dir / "head.ebo", archive = dir / "faces.fsh";
    const auto modelAt = [](float z) {
        return writers::makeEbo({test::quadObject("head"), test::quadObject("eyes", 0, 0, z)}, Generation::Current);
    };
    const auto archiveOf = [](std::uint8_t fill) {
        writers::FshArchive a;
        a.images.push_back({"skin", static_cast<std::uint16_t>(kFormatDxt1), 4, 4, Bytes(8, fill), {}, {}});
        return writers::buildFsh(a);
    };
    const auto shown = [&] {
        std::vector<float> z;
        for (const Vec3f& p : h.viewer.scene.positions[1]) z.push_back(p.z);
        const auto& data = h.viewer.textures.imageData[0];
        return std::pair(z, Bytes(data.begin(), data.end()));
    };
    writers::writeFile(model, modelAt(3));
    writers::writeFile(archive, archiveOf(1));
    ASSERT_TRUE(openFile(h.viewer, model) && openFile(h.viewer, archive));
    const auto before = shown();
    EXPECT_EQ(before, std::pair(std::vector<float>(4, 3), Bytes(8, 1)));

    testing::internal::CaptureStderr();
    for (const auto& [kind, path] : {std::pair{FileKind::Ebo, model}, {FileKind::Fsh, archive}}) {
        writers::writeFile(path, Bytes(std::filesystem::file_size(path), 0xFF));
        EXPECT_FALSE(reloadFile(h.viewer, kind, path));
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown(), before);

    writers::writeFile(model, modelAt(5));
    writers::writeFile(archive, archiveOf(2));
    EXPECT_TRUE(reloadFile(h.viewer, FileKind::Ebo, model) && reloadFile(h.viewer, FileKind::Fsh, archive));
    EXPECT_EQ(shown(), std::pair(std::vector<float>(4, 5), Bytes(8, 2)));
}

// Cut short, more images than this generation takes, unreadable or too large:
// the stores and menu stay as they were and the reason says why (title and
// standard error); the next good version is taken.
TEST(Reload, AFileThatDoesNotReadCleanlyChangesNothingButTheTitle) {
    ViewerHarness h(Generation::Current);
    const auto dir = scratchDir();
    const auto model = dir / "head.ebo", archive = dir / "faces.fsh", picture = dir / "picture.bmp";
    writers::writeFile(model, modelOf({"head", "eyes"}));
    writeArchive(archive, {"a", "b"});
    openFile(h.viewer, model);
    openFile(h.viewer, archive);
    h.command(cmd::FirstTexture + 1);
    const std::size_t bars = h.platform.menuBars.size();
    const platform::MenuBar shown = h.platform.shownMenuBar();
    h.platform.bitmaps[picture] = makeBitmap(1025, 2);
    const auto reasonOf = [&](FileKind kind, const std::filesystem::path& path) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(reloadFile(h.viewer, kind, path)) << path;
        return testing::internal::GetCapturedStderr();
    };
    writers::writeFile(model, std::vector<std::uint8_t>(40, 0));  // shorter than the header
    reasonOf(FileKind::Ebo, model);
    // Twenty images are one more than this store takes, and as many as the earlier one's.
    // The title gives the reason that standard error gives as "PROGRAM: PATH: REASON".
    writeArchive(archive, Labels(20, "x"));
    const std::string why = "20 images, the store holds 19; the rest are ignored at field 'image count' (offset 8); "
                            "looks like a file for kelvane-legacy";
    EXPECT_EQ(reasonOf(FileKind::Fsh, archive), "kelvane: " + archive.string() + ": " + why + "\n");
    EXPECT_EQ(h.window.title(), "faces.fsh: " + why + " - head.ebo, faces.fsh - Kelvane v0.7");
    reasonOf(FileKind::Picture, dir / "unreadable.bmp");
    EXPECT_NE(reasonOf(FileKind::Picture, picture).find("1024"), std::string::npos);
    EXPECT_EQ(std::pair(buildMenuBar(h.viewer), h.platform.menuBars.size()), std::pair(shown, bars));  // as they were

    // A picture that fits replaces the archive, as "Load BMP" does.
    h.platform.bitmaps[picture] = makeBitmap(3, 2);
    EXPECT_TRUE(reloadFile(h.viewer, FileKind::Picture, picture));
    EXPECT_EQ(std::pair(h.viewer.textures.width[0], h.items("<FSH>").empty()), std::pair(3u, true));
    EXPECT_EQ(h.window.title(), "head.ebo, picture.bmp - Kelvane v0.7");
}

}  // namespace
}  // namespace kelvane
