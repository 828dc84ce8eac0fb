#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

namespace kelvane::test {

// A fresh folder under the system's temporary folder, named after the running
// test and removed at the end.
struct TempDir {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
        ("kelvane-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
         std::to_string(std::random_device{}()));
    TempDir() { std::filesystem::create_directories(path); }
    TempDir(const TempDir&) = delete;
    ~TempDir() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

}  // namespace kelvane::test
