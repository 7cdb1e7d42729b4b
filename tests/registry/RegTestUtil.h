#pragma once
// Helpers of the registry tests: keys and values made and checked straight through the
// registry functions, and a throwaway program folder with a blank in its name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace regtest {

// Every test key lives below this path of HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
inline constexpr char kTestKey[] = "Software\\TracewipeTest";

void CreateKey(HKEY root, const std::string& path);
void SetString(HKEY root, const std::string& path, const std::string& name,
               const std::string& value, DWORD type = REG_SZ);
void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
void SetBinary(HKEY root, const std::string& path, const std::string& name,
               const std::vector<unsigned char>& data);
bool KeyExists(HKEY root, const std::string& path);
bool ValueExists(HKEY root, const std::string& path, const std::string& name);
DWORD SubKeyCount(HKEY root, const std::string& path);
void DeleteTree(HKEY root, const std::string& path);

// Every key and value name below root\path, one text each, in enumeration order.
std::vector<std::string> Snapshot(HKEY root, const std::string& path);

bool FileExists(const std::string& path);
std::string ReadWholeFile(const std::string& path);
// A registry export is UTF-16: its ASCII characters, the rest dropped.
std::string ReadExportText(const std::string& path);
void RemoveFolderTree(const std::string& path);
// Number of files in a folder (not counting folders).
int FileCount(const std::string& folder);

// HKCU\Software\TracewipeTest and HKLM\Software\TracewipeTest, empty at the start of each
// test and gone at its end; a program folder "<temp>\tw reg test" likewise.
class RegistryFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string programFolder_;
};

} // namespace regtest
