// The scanner over arbitrary bytes: the texts of the tokens, followed by what
// TakeRest hands back after a scanning error, join to the input exactly (a
// UTF-8 byte-order mark at the start is not source text and is skipped).
#include <cstddef>
#include <cstdint>
#include <string>

#include "codeweft/core/lex/Scanner.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *Data, std::size_t Size) {
  const std::string Input(reinterpret_cast<const char *>(Data), Size);
  const std::string Path = fuzzsupport::WriteFile("unit.pas", Input);
  codeweft::TScanner Scanner;
  Scanner.Open(Path);
  std::string Joined;
  codeweft::TToken Token;
  int Code;
  while ((Code = Scanner.NextToken(Token)) == codeweft::scToken) {
    fuzzsupport::Require(!Token.Text.empty(), "a token with no text");
    Joined.append(Token.Text);
  }
  fuzzsupport::Require(Scanner.NextToken(Token) == Code, "the end code changed when asked again");
  while (Scanner.TakeRest(Joined)) {
  }
  const std::string Expected = Input.compare(0, 3, "\xEF\xBB\xBF") == 0 ? Input.substr(3) : Input;
  fuzzsupport::Require(Joined == Expected, "token texts do not join to the input");
  return 0;
}
