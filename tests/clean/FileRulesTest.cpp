#include "clean/rules/FileRules.h"

#include <gtest/gtest.h>

namespace {

TEST(FileRules, DirectoryFullPathFollowsTheProgramFilesPrefix) {
    struct Case {
        const char* entry;
        const char* want;
    };
    // Windows on C:, Program Files on D: so both branches are told apart.
    const Case cases[] = {
        {"\\Program Files\\ATI Technologies", "D:\\Apps\\ATI Technologies"},
        {"\\Program Files", "D:\\Apps"},
        {"\\program files\\ATI", "C:\\program files\\ATI"},
        {"\\PROGRAM FILES\\ATI", "C:\\PROGRAM FILES\\ATI"},
        {"\\Program FilesX", "D:\\AppsX"},
        {"\\Program File", "C:\\Program File"},
        {"\\NVIDIA", "C:\\NVIDIA"},
        {"NVIDIA", "C:NVIDIA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(tw::DirectoryFullPath(c.entry, "C:\\WINDOWS", "D:\\Apps"), c.want);
    }
}

TEST(FileRules, DetailLineFormat) {
    EXPECT_EQ(tw::DetailLine("File removed", "C:\\WINDOWS\\a*.dll"),
              "File removed (C:\\WINDOWS\\a*.dll)");
    EXPECT_EQ(tw::DetailLine("", ""), " ()");
}

TEST(FileRules, NormalizePath) {
    struct Case {
        const char* path;
        const char* want;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\", "c:\\windows"},
        {"C:/Windows//System32", "c:\\windows\\system32"},
        {"C:\\Windows\\..\\..\\..", "c:"},
        {"C:\\", "c:"},
        {"C:\\Windows. \\.\\System32\\..", "c:\\windows"},
        {"C:\\a\\...\\b", "c:\\b"}, // read as ".."
        {"\\\\Server\\Share\\..\\x", "\\\\server\\share\\x"},
        {"\\x\\..", "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(tw::NormalizePath(c.path), c.want);
    }
}

TEST(FileRules, LeavesBase) {
    struct Case {
        const char* rest;
        bool leaves;
    };
    const Case cases[] = {
        {"\\ati.dll", false},     {"\\a\\..\\b.dll", false}, {"\\..\\x", true},
        {"\\a\\..\\..\\x", true}, {"\\.\\..", true},         {"\\a\\b\\..\\..", false},
        {"\\.. \\x", true},       {"/../x", true},           {"\\...\\x", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rest);
        EXPECT_EQ(tw::LeavesBase(c.rest), c.leaves);
    }
}

TEST(FileRules, WildcardOnlyNames) {
    struct Case {
        const char* name;
        bool only;
    };
    const Case cases[] = {
        {"*", true},        {"*.*", true},   {"????????.???", true},  {"*.dll", true}, {"*.", true},
        {"nv*.dll", false}, {"*nv*", false}, {"ati2dvag.dll", false}, {"a?.*", false}, {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tw::IsWildcardOnlyName(c.name), c.only);
    }
}

tw::ProtectedFolders Folders() {
    return {"C:\\WINDOWS",       "C:\\WINDOWS\\system32",
            "C:\\Program Files", "C:\\users\\me\\Temp\\",
            "C:\\users",         "C:\\Program Files\\Tracewipe"};
}

TEST(FileRules, ProtectedDirectories) {
    struct Case {
        const char* path;
        bool refused;
    };
    const Case cases[] = {
        {"C:\\", true},
        {"C:", true},
        {"D:\\", true},
        {"\\\\server\\share", true},
        {"C:\\WINDOWS", true},
        {"c:\\windows\\", true},
        {"C:\\Windows\\System32", true},
        {"C:\\Program Files", true},
        {"C:\\PROGRAM FILES\\", true},
        {"C:\\users", true},
        {"C:\\users\\me", true}, // above the temporary folder
        {"C:\\users\\me\\Temp", true},
        {"C:\\Program Files\\Tracewipe", true},
        {"C:\\Program Files\\Tracewipe\\Backup", true},
        {"C:\\Program Files\\Tracewipe\\Log", true},
        {"C:\\Program Files\\Tracewipe\\Backup\\run", true},
        {"C:\\Program Files\\ATI\\..\\..\\WINDOWS", true},
        {"C:\\WINDOWS.\\", true},
        {"C:\\Program Files\\ATI Technologies", false},
        {"C:\\WINDOWS\\system32\\ati", false},
        {"C:\\NVIDIA", false},
        {"C:\\users\\me\\Temp\\nv", false},
        {"C:\\Program Files\\Tracewipe2", false},
        {"C:\\WINDOWSX", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(tw::IsProtectedDirectory(c.path, Folders()), c.refused);
    }
}

TEST(FileRules, ProtectedFilePatterns) {
    struct Case {
        const char* path;
        bool refused;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\*.*", true},
        {"C:\\WINDOWS\\*", true},
        {"C:\\windows\\system32\\*.dll", true},
        {"C:\\WINDOWS\\System32\\.\\*.*", true},
        {"C:\\WINDOWS\\System32", true},
        {"C:\\Program Files\\Tracewipe\\Tracewipe.exe", true},
        {"C:\\Program Files\\Tracewipe\\*.twf", true},
        {"C:\\WINDOWS\\Inf\\*.*", false},
        {"C:\\WINDOWS\\system32\\nv*.dll", false},
        {"C:\\WINDOWS\\ati2dvag.dll", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(tw::IsProtectedFilePattern(c.path, Folders()), c.refused);
    }
}

TEST(FileRules, EmptyProtectedFolderProtectsNothing) {
    tw::ProtectedFolders none;
    EXPECT_FALSE(tw::IsProtectedDirectory("C:\\NVIDIA", none));
    EXPECT_TRUE(tw::IsProtectedDirectory("C:\\", none));
}

} // namespace
