#pragma once
// Language packs: every visible text is looked up by its four-digit id in the current
// language's working copy (<language>.dlf, hidden, in the program folder), which the
// first lookup of a run decodes from <language>.lng.
#include <string>
#include <string_view>

namespace tw {

// The text of `Id` in the current language, "?" when there is none; a text the program
// added beyond the ids every language file holds is then the built-in English one. A
// current language that is no plain name of the program folder is English.
std::string GetLanguageText(std::string_view Id);

// Deletes the working copy and forgets the current language: the next lookup decodes
// the language file again.
void DeleteLanguageCopy();

// Reads the current language from <language>.lng into memory: from then on
// GetLanguageText answers from there and no working copy is written (for runs that must
// leave the program folder as it is).
void UseLanguageInMemory();

// The language whose working copy is in use ("" before the first lookup).
const std::string& LanguageName();

} // namespace tw
