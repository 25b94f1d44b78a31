// Test support for the tests that run the built caelo program: what a run
// gave back, and a fixture with a fresh working folder for each test.
#ifndef CAELO_TESTS_PROGRAM_TEST_SUPPORT_H
#define CAELO_TESTS_PROGRAM_TEST_SUPPORT_H

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace caelo::testing {

// What one run of the program gave back.
struct Outcome {
    int exitCode = -1; // -1 when it did not exit by itself
    std::string out;
    std::string err;
};

// The exit code of a run from the status std::system answers.
inline int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh working folder per test, "caelo-<kind>-<test>-<pid>" in the
// temporary folder, removed afterwards.
class WorkingFolderTest : public ::testing::Test {
protected:
    explicit WorkingFolderTest(std::string kind) : kind_(std::move(kind)) {}

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("caelo-" + kind_ + "-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path folder_;

private:
    std::string kind_;
};

} // namespace caelo::testing

#endif
