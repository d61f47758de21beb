// Include files: {$I name} and {$INCLUDE name} insert another file's tokens
// at the directive, as the compiler does. The token stream follows them; this
// is how a directive names its file and how that file is found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "codeweft/core/lex/Scanner.h"

namespace codeweft {

// Include files nested deeper than this are not followed (a file that
// includes itself would otherwise never end).
inline constexpr std::size_t MaxIncludeDepth = 16;

// One include file being read, and where the file that included it stood.
struct TIncludeFrame {
  std::unique_ptr<TScanner> Scanner;
  std::uint64_t OuterNextOffset = 0;  // the including file's offset after the directive
};

// The file name a directive includes, given its name and argument
// (SplitDirective): the argument of I or INCLUDE (any case) without blanks
// around it and without quotes. Empty for any other directive, for {$I+} and
// {$I-}, and for the built-in texts such as {$I %DATE%}, which name no file.
std::string IncludeName(std::string_view name, std::string_view argument);

// The file that name stands for when including (a path) includes it: name
// relative to including's folder (an absolute name as it is; a backslash
// separates folders; case is matched per component when the exact path does
// not exist), tried as given, then with ".inc", ".pas" and ".pp" appended.
// Empty when none of them is a regular file.
std::string FindIncludeFile(std::string_view including, std::string_view name);

// The line (from 1) of byte offset of file, not counting a UTF-8 byte-order
// mark at its start, as the scanner does. CR LF, a lone CR and a lone LF each
// end a line. 0 when the file cannot be read.
int LineAtOffset(const std::string &file, std::uint64_t offset);

}  // namespace codeweft
