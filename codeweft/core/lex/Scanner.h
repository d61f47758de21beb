// TScanner turns one Object Pascal source file into tokens without gaps:
// whitespace and comments are tokens too, and every token carries its exact
// source bytes, so joining the texts of all tokens gives the file back (up to
// the point of a scanning error). A byte that starts no token is a token of
// its own (tkUnknown), so only a string or comment left open stops a file.
//
// The token grammar is FormToken (TokenForms.h); the scanner only keeps the
// buffer it works on. The file is read through that buffer, so a character
// costs no system call; a token that does not fit is moved to the buffer's
// start, which grows when the token is longer than half of it. A UTF-8
// byte-order mark at the very start of a file is skipped. Lines may end in
// CR LF or in LF alone.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/ScannerChars.h"
#include "codeweft/core/lex/Token.h"
#include "codeweft/core/lex/TokenForms.h"

namespace codeweft {

// Result codes of NextToken. Any code but scToken ends the file; the token is
// then tkEnd with empty text, and asking again gives the same code.
inline constexpr int scToken = 0;        // a token was delivered
inline constexpr int scEnd = 1;          // end of input
inline constexpr int scBadChar = 3;      // no longer returned: such a byte is a tkUnknown token
inline constexpr int scOpenString = 5;   // a string literal reached its line end or the input end
inline constexpr int scOpenComment = 7;  // the input ended inside a "{" or "(*" comment

class TScanner {
public:
  TScanner();
  ~TScanner();
  TScanner(const TScanner &) = delete;
  TScanner &operator=(const TScanner &) = delete;

  // Opens FileName for reading (closing any file still open) and reads the
  // first character. Throws EFOpenError naming the file and the reason.
  void Open(const std::string &fileName);
  // Fills Token with the next token and returns one of the codes above. A
  // scanner that is not open reports scEnd. Throws EInOutError if reading fails.
  // The token's text is a view of the scanner's buffer, valid until the next
  // call (or Open, Close, destruction); no text is copied to deliver it.
  int NextToken(TToken &token);
  void Close();

  bool IsOpen() const { return FFd >= 0; }
  const std::string &FileName() const { return FFileName; }
  // Kept for callers of the time when a stray byte stopped the scan: -1.
  int StopChar() const { return -1; }
  // The non-zero code that ended the file, or scToken while it goes on.
  int LastCode() const { return FDone; }

  // After a scanning error (codes 5, 7): hands back the source from the
  // start of the token that failed on, a piece at a time: what the buffer
  // holds, then the unread rest of the file. Appends the next piece to Text
  // and returns false when nothing is left. Lets a listing keep every byte.
  bool TakeRest(std::string &text);

 private:
  void Deliver(TToken &token, TTokenKind kind, const unsigned char *p, std::size_t n) {
    token.Kind = kind;
#if defined(__SANITIZE_ADDRESS__)
    DeliverChecked(token, p, n);
#else
    token.Text = std::string_view(reinterpret_cast<const char *>(p), n);
#endif
  }
  void DeliverChecked(TToken &token, const unsigned char *p, std::size_t n);
  void NoteDirective(const unsigned char *p, const unsigned char *end);
  int NextTokenGeneral(TToken &token);
  int Finish(TToken &token, int code);
  // Moves the unread data, and the look-behind before it, to the buffer's
  // start (growing the buffer when it is more than half full) and reads more
  // after it. False at the end of the input.
  bool Refill();
  void SetFastLimit() {
    FFastLim = FDone != 0 ? FBuf.get()
               : FAtEnd   ? FLim
               : FLim - FBuf.get() > std::ptrdiff_t(scanchars::FormLookahead)
                   ? FLim - scanchars::FormLookahead
                   : FBuf.get();
  }

  int FFd = -1;
  std::string FFileName;
  std::unique_ptr<unsigned char[]> FBuf;
  std::size_t FCapacity = 0;           // bytes of data the buffer can hold (padding not counted)
  const unsigned char *FPos = nullptr; // the current character is *FPos
  const unsigned char *FLim = nullptr;  // the end of the data, where a 0 sentinel lies
  // The start of the input while it is in the buffer, else the buffer's start
  // (before which lie FormLookbehind bytes of it, or the input's start).
  const unsigned char *FFloor = nullptr;
  // Below it a formed token is final: its end leaves room for the look-ahead
  // of the forms before FLim, or the input has ended. The buffer's start
  // once the scan stopped, so that every call goes the general way.
  const unsigned char *FFastLim = nullptr;
  bool FAtEnd = true;
  // Whether comments nest: from the file's extension (.pp and .lpr are
  // sources of a compiler whose default mode nests them), then from its mode
  // directives.
  bool FNestedComments = false;
  int FDone = 0;  // the non-zero code once one was returned
  // Sanitizer builds only: token texts are copied here and poisoned at the
  // next call, so that a view kept too long is reported.
  void ReleaseCheckedText();
  std::unique_ptr<char[]> FCheckedText;
  std::size_t FCheckedHalf = 0;
  int FCheckedTurn = 0;
  std::string_view FCheckedLast;
};

// The fast way: the token formed is final where it lies, and is delivered
// straight from the buffer. Anything else - the buffer's end, the end of the
// input, a token left open - goes the general way.
[[gnu::always_inline]] inline int TScanner::NextToken(TToken &token) {
  const unsigned char *const p = FPos;
  if (p >= FFastLim) return NextTokenGeneral(token);
  const scanchars::TFormed f = scanchars::FormToken<true>(p, FLim, FFloor, FNestedComments);
  if (f.End > FFastLim) return NextTokenGeneral(token);
  Deliver(token, f.Kind, p, static_cast<std::size_t>(f.End - p));
  FPos = f.End;
  return scToken;
}

} // namespace codeweft
