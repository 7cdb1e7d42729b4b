#include "app/modLanguage.h"
#include "app/LanguageText.h"

#include "app/INI.h"
#include "core/Paths.h"
#include "decode/clsProtection.h"
#include "win/Files.h"
#include "win/ProgramFolder.h"

#include <windows.h>

#include <charconv>
#include <map>

namespace tw {

namespace {

std::string g_languageName;
clsProtection g_languageDecoder;
// The texts read from the working copy so far. The copy does not change until
// DeleteLanguageCopy, and each read of it is a file read: a run that lists thousands of
// lines reads each of its few texts once.
std::map<std::string, std::string, std::less<>> g_texts;

// Ids compared as the profile functions compare keys: letter case ignored.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    }
};
std::map<std::string, std::string, NoCase> g_memory;
bool g_inMemory = false;

// The [Language] section of a decoded language file, read as the profile functions read
// it: blanks around keys and values dropped, one pair of surrounding quotes removed, the
// first of two equal keys kept.
void ReadLanguageSection(std::string_view text) {
    ForEachLanguageText(text, [](std::string_view id, std::string_view value) {
        g_memory.emplace(std::string(id), std::string(value));
    });
}

// The ids every language file holds. The texts the program has added since are built in
// in English as well, so a language file that lacks them still gives a readable text.
bool IsLanguageFileId(std::string_view id) {
    int n = -1;
    if (id.size() != 4 || std::from_chars(id.data(), id.data() + 4, n).ptr != id.data() + 4)
        return false;
    return (n >= 1 && n <= 29) || n == 121 || n == 314 || (n >= 320 && n <= 322) ||
           (n >= 1000 && n <= 1078);
}

struct BuiltInText {
    const char* Id;
    const char* Text;
};
constexpr BuiltInText kEnglish[] = {
#include "BuiltInEnglish.inc"
};

std::string WithFallback(std::string_view id, std::string text) {
    if (text != "?" || IsLanguageFileId(id))
        return text;
    for (const BuiltInText& builtIn : kEnglish)
        if (id == builtIn.Id)
            return builtIn.Text;
    return text;
}

// [LANGUAGE] CurrentLanguage when it names a file of the program folder; English else.
std::string CurrentLanguage() {
    std::string name = ReadINI(kIniFile, "LANGUAGE", "CurrentLanguage", "?");
    return IsPlainFileName(name) ? name : "English";
}

std::string CopyPath() {
    return ProgramFolder() + "\\" + g_languageName + ".dlf";
}

} // namespace

const std::string& LanguageName() {
    return g_languageName;
}

void UseLanguageInMemory() {
    g_inMemory = true;
    g_memory.clear();
    const std::string packed = ReadTextFile(ProgramFolder() + "\\" + CurrentLanguage() + ".lng");
    try {
        ReadLanguageSection(g_languageDecoder.DecodeString(packed));
    } catch (...) {
        // a missing or damaged language file: every text is "?"
    }
}

std::string GetLanguageText(std::string_view Id) {
    if (g_inMemory) {
        const auto found = g_memory.find(std::string(Id));
        return WithFallback(Id, found == g_memory.end() ? "?" : found->second);
    }
    if (g_languageName.empty()) {
        // Set before decoding: the description of a decoding error is looked up through
        // here again, and must read whatever working copy there is instead of decoding.
        g_languageName = CurrentLanguage();
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
    std::string text = WithFallback(Id, ReadINI(g_languageName + ".dlf", "Language", Id, "?"));
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
