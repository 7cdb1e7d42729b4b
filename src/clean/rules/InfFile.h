#pragma once
// Driver packages: what the [Version] section of a setup information file (.inf) says
// about its package, and the [DRIVERPACKAGES] entries ("Class|Provider") that choose
// packages by it. Platform-free: the reader is a pure function of the file's bytes.
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The package facts of one .inf. Texts are ANSI (a UTF-16 file's characters above 255
// become "?"); %name% tokens are replaced from [Strings] and surrounding quotes removed.
struct InfVersion {
    bool HasVersion = false; // the file has a [Version] section
    std::string Class;
    std::string Provider;
    std::string CatalogFile;      // CatalogFile=
    std::string CatalogFileNT;    // CatalogFile.NT=
    std::string CatalogFileNTx86; // CatalogFile.NTx86=
    std::string CatalogFileNTamd64;
};

// Reads the file's bytes: ANSI, UTF-8 with or without its mark, or UTF-16LE with its
// byte-order mark; lines end in CR LF, LF or CR; ";" starts a comment outside quotes; a
// "\" at the end of a line joins the next one. Any input gives a result; what cannot be
// read gives one without [Version].
InfVersion ReadInfVersion(std::string_view bytes);

enum class InfArch { X86, Amd64 };

// The catalog that Windows uses for the package on `arch`: CatalogFile.NT<arch>, else
// CatalogFile.NT, else CatalogFile; empty when none is named or the name is not a plain
// file name (a path or ".." never leaves the catalog folder).
std::string CatalogFor(const InfVersion& inf, InfArch arch);

// A [DRIVERPACKAGES] entry split at its first "|": the class ("*" any) and the provider,
// which may hold commas and further "|". Nothing when either part is empty.
struct PackageRule {
    std::string Class;
    std::string Provider;
};
std::optional<PackageRule> SplitPackageEntry(std::string_view entry);

// True when the package has a [Version] section, its class equals the rule's (letter case
// ignored; "*" matches any class, also none) and its provider, not empty, equals the
// rule's (letter case ignored).
bool PackageMatches(const PackageRule& rule, const InfVersion& inf);

// True when `name` (a file name of the Inf folder) is one that Windows gave to a
// package it installed: "oem", digits, ".inf", letter case ignored.
bool IsOemInfName(std::string_view name);

} // namespace tw
