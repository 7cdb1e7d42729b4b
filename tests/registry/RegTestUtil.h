#pragma once
// The registry tests' keys: HKCU\Software\TracewipeTest and HKLM\Software\TracewipeTest,
// empty at the start of each test and gone at its end, and a program folder with a blank
// in its name likewise.
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace regtest {

using namespace twtest;

inline constexpr char kTestKey[] = "Software\\TracewipeTest";

// Every key and value name below root\path, one text each, in enumeration order.
inline std::vector<std::string> Snapshot(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return out;
    out.push_back("[" + path + "]");
    char name[16384];
    for (DWORD i = 0, len = sizeof name;
         RegEnumValueA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, len = sizeof name)
        out.push_back(path + " value " + std::string(name, len));
    std::vector<std::string> subkeys;
    for (DWORD i = 0, len = sizeof name;
         RegEnumKeyExA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, len = sizeof name)
        subkeys.emplace_back(name, len);
    RegCloseKey(k);
    for (const std::string& sub : subkeys)
        for (std::string& line : Snapshot(root, path + "\\" + sub))
            out.push_back(std::move(line));
    return out;
}

// A message-only window of a class of its own whose messages go to `proc`.
inline HWND MessageWindow(const char* className, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, wc.hInstance,
                         nullptr);
}

// Takes the next message of this thread's queue: it must be WM_QUIT with `code`.
inline void ExpectQuitWaiting(WPARAM code) {
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, code);
}

class RegistryFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            DeleteKeyTree(root, kTestKey);
            ASSERT_TRUE(CreateKey(root, kTestKey));
        }
    }
    void TearDown() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            DeleteKeyTree(root, kTestKey);
    }
    Scratch program_{"reg test"};
    const std::string programFolder_ = program_.Path();
};

} // namespace regtest
