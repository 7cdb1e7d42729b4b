#include "clean/rules/InfFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

// The bytes of `text` as UTF-16LE with its byte-order mark.
std::string Utf16(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text)
        out += {c, '\0'};
    return out;
}

bool Matches(const std::string& entry, const std::string& inf) {
    const auto rule = tw::SplitPackageEntry(entry);
    return rule && tw::PackageMatches(*rule, tw::ReadInfVersion(inf));
}

TEST(InfFile, PackagesMatchTheirEntriesByClassAndProvider) {
    const std::string nvidia = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Display\r\n"
                               "Provider=%NVIDIA%\r\n[Strings]\r\nNVIDIA=\"NVIDIA\"\r\n";
    const std::string amd = "[version]\nClass = MEDIA ; audio\nProvider = %amd% ; the vendor\n"
                            "[Strings.0409]\nAMD = \"Advanced Micro Devices, Inc.\"\n";
    const std::string unknownToken = "[Version]\r\nClass=Display\r\nProvider=%ATI%\r\n";
    const std::string quoted =
        "[Version]\r\nClass=\"Display\"\r\nProvider=\"ATI Technologies Inc.\"\r\n";
    const std::string continued = "[Version]\r\nClass=Display\r\nProvider=ATI \\\r\n Technologies"
                                  " Inc.\r\n";
    const std::string noClass = "[Version]\rProvider=NVIDIA\r";
    const struct {
        const char* entry;
        std::string inf;
        bool match;
    } cases[] = {
        {"Display|NVIDIA", nvidia, true},
        {"display|nvidia", nvidia, true},
        {"*|NVIDIA", nvidia, true},
        {"MEDIA|NVIDIA", nvidia, false},
        {"Display|NVIDIA Corporation", nvidia, false},
        {"Display|NVIDIA ", nvidia, false},
        {"Display", nvidia, false},
        {"|NVIDIA", nvidia, false},
        {"Display|", nvidia, false},
        {"MEDIA|Advanced Micro Devices, Inc.", amd, true},
        {"MEDIA|Advanced Micro Devices", amd, false},
        {"System|Advanced Micro Devices, Inc.", amd, false},
        {"Display|ATI Technologies Inc.", unknownToken, false},
        {"Display|ATI", unknownToken, false},
        {"Display|ATI Technologies Inc.", quoted, true},
        {"Display|ATI Technologies Inc.", continued, true},
        {"*|NVIDIA", noClass, true},
        {"Display|NVIDIA", noClass, false},
        {"*|NVIDIA", "[Manufacturer]\r\nClass=Display\r\nProvider=NVIDIA\r\n", false},
        {"Display|A;B", "[Version]\r\nClass=Display\r\nProvider=\"A;B\"\r\n", true},
        {"*|NVIDIA", "\x7F\x45LF\0\x01[Version\0Provider=NVIDIA\xFF\xFE\r\n\x80\x81"s, false},
        {"*|NVIDIA", ""s, false},
        {"*|?", "\xFF\xFE\x00"s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " on " + c.inf);
        EXPECT_EQ(Matches(c.entry, c.inf), c.match);
        EXPECT_EQ(Matches(c.entry, Utf16(c.inf)), c.match) << "as UTF-16";
    }
}

TEST(InfFile, CatalogOfThePlatform) {
    const struct {
        std::string inf;
        const char* x86;
        const char* amd64;
    } cases[] = {
        {"[Version]\nCatalogFile=all.cat\n", "all.cat", "all.cat"},
        {"[Version]\nCatalogFile=all.cat\nCatalogFile.NT=nt.cat\n", "nt.cat", "nt.cat"},
        {"[Version]\nCatalogFile=all.cat\nCatalogFile.NTamd64=%cat64%\n[Strings]\ncat64=x64.cat\n",
         "all.cat", "x64.cat"},
        {"[Version]\nCatalogFile.NTx86=x86.cat\n", "x86.cat", ""},
        {"[Version]\nCatalogFile=..\\..\\boot.cat\n", "", ""},
        {"[Strings]\nCatalogFile=s.cat\n", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inf);
        const tw::InfVersion inf = tw::ReadInfVersion(c.inf);
        EXPECT_EQ(tw::CatalogFor(inf, tw::InfArch::X86), c.x86);
        EXPECT_EQ(tw::CatalogFor(inf, tw::InfArch::Amd64), c.amd64);
    }
}

} // namespace
