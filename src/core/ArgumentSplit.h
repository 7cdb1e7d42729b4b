#pragma once
// The arguments of a command line, split by the rules of CommandLineToArgvW: the program's
// name ends at the next space, or at the closing quote when it starts with one; after it,
// spaces and tabs outside quotes separate arguments, 2n backslashes before a quote give n
// backslashes and the quote opens or closes quoting, 2n+1 give n and a literal quote, other
// backslashes are kept, and within quotes a doubled quote gives a literal one and closes
// quoting, a tripled one gives one and keeps it open.
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The arguments after the program's name. `isLeadByte`, when given, tells the first byte of a
// double-byte character: its second byte is never taken for a quote or a backslash.
std::vector<std::string> SplitArguments(std::string_view commandLine,
                                        bool (*isLeadByte)(unsigned char) = nullptr);

} // namespace tw
