#include "clean/rules/FileRules.h"

#include <gtest/gtest.h>

namespace {

TEST(FileRules, DirectoryFullPathFollowsTheProgramFilesPrefix) {
    // Windows on C:, Program Files on D: so both branches are told apart.
    const struct {
        const char* entry;
        const char* want;
    } cases[] = {
        {"\\Program Files\\ATI Technologies", "D:\\Apps\\ATI Technologies"},
        {"\\Program Files", "D:\\Apps"},
        {"\\program files\\ATI", "C:\\program files\\ATI"},
        {"\\PROGRAM FILES\\ATI", "C:\\PROGRAM FILES\\ATI"},
        {"\\Program FilesX", "D:\\AppsX"},
        {"\\Program File", "C:\\Program File"},
        {"\\NVIDIA", "C:\\NVIDIA"},
        {"NVIDIA", "C:NVIDIA"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::DirectoryFullPath(c.entry, "C:\\WINDOWS", "D:\\Apps"), c.want) << c.entry;
}

} // namespace
