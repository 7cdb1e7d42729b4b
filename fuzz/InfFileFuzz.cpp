// The INF reader against any bytes: it always answers, its texts hold no line end, the
// catalog it names is a plain file name, a package it reads matches the rules made of its own
// class and provider, and a [DRIVERPACKAGES] entry splits at its first "|".
#include "clean/rules/InfFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tw::InfVersion inf = tw::ReadInfVersion(bytes);
    for (const std::string* text : {&inf.Class, &inf.Provider, &inf.CatalogFile})
        if (text->find_first_of("\r\n") != std::string::npos)
            std::abort();
    for (tw::InfArch arch : {tw::InfArch::X86, tw::InfArch::Amd64}) {
        const std::string catalog = tw::CatalogFor(inf, arch);
        if (catalog.find_first_of("\\/:") != std::string::npos || catalog == "..")
            std::abort();
    }
    if (inf.HasVersion && !inf.Provider.empty() &&
        !(tw::PackageMatches({inf.Class, inf.Provider}, inf) &&
          tw::PackageMatches({"*", inf.Provider}, inf)))
        std::abort();
    if (const auto rule = tw::SplitPackageEntry(bytes))
        if (rule->Class.empty() || rule->Provider.empty() ||
            rule->Class.find('|') != std::string::npos ||
            rule->Class + "|" + rule->Provider != bytes)
            std::abort();
    return 0;
}
