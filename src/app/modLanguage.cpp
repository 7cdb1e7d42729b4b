#include "app/modLanguage.h"

#include "app/INI.h"
#include "decode/clsProtection.h"
#include "win/ProgramFolder.h"

#include <windows.h>

#include <map>

namespace tw {

namespace {

std::string g_languageName;
clsProtection g_languageDecoder;
// The texts read from the working copy so far. The copy does not change until
// DeleteLanguageCopy, and each read of it is a file read: a run that lists thousands of
// lines reads each of its few texts once.
std::map<std::string, std::string, std::less<>> g_texts;

std::string CopyPath() {
    return ProgramFolder() + "\\" + g_languageName + ".dlf";
}

} // namespace

const std::string& LanguageName() {
    return g_languageName;
}

std::string GetLanguageText(std::string_view Id) {
    if (g_languageName.empty()) {
        // Set before decoding: the description of a decoding error is looked up through
        // here again, and must read whatever working copy there is instead of decoding.
        g_languageName = ReadINI(kIniFile, "LANGUAGE", "CurrentLanguage", "?");
        std::string folder = ProgramFolder();
        try {
            g_languageDecoder.DecodeFile(folder + "\\" + g_languageName + ".lng", CopyPath());
        } catch (...) {
            // a missing or damaged language file: lookups read what copy there is
        }
        SetFileAttributesA(CopyPath().c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    if (auto known = g_texts.find(Id); known != g_texts.end())
        return known->second;
    std::string text = ReadINI(g_languageName + ".dlf", "Language", Id, "?");
    g_texts.emplace(Id, text);
    return text;
}

void DeleteLanguageCopy() {
    std::string path = CopyPath();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    g_languageName.clear();
    g_texts.clear();
}

} // namespace tw
