#include "codeweft/core/output/ListingWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>

#include "codeweft/core/FileNames.h"

namespace codeweft {

namespace {

constexpr std::string_view CrLf = "\r\n";

// The bytes each format must escape, looked up in one table: the common case
// of a token that needs no escaping is one scan and one append.
// HTML marks the entities, line breaks (each line gets its anchor), control
// bytes (no valid HTML text) and bytes from 0x80 (transcoded or checked).
enum : unsigned char { emRtf = 1, emHtml = 2 };
struct TEscapeMarks {
  unsigned char Of[256] = {};
  constexpr TEscapeMarks() {
    for (const unsigned char C : {'\\', '{', '}', '\r', '\n'}) Of[C] |= emRtf;
    for (const unsigned char C : {'&', '<', '>', '"'}) Of[C] |= emHtml;
    for (int C = 0; C < 0x20; ++C)
      if (C != '\t' && C != '\f') Of[C] |= emHtml;
    Of[0x7F] |= emHtml;
    for (int C = 0x80; C < 0x100; ++C) Of[C] |= emRtf | emHtml;
  }
};
constexpr TEscapeMarks EscapeMarks;

// Length of the prefix of S that holds no byte marked Mark.
std::size_t PlainPrefix(std::string_view S, unsigned char Mark) {
  std::size_t I = 0;
  while (I < S.size() && !(EscapeMarks.Of[static_cast<unsigned char>(S[I])] & Mark)) ++I;
  return I;
}

const char *const RtfColourTable[16] = {
    "\\red0\\green0\\blue0;",       "\\red128\\green0\\blue0;",
    "\\red0\\green128\\blue0;",     "\\red128\\green128\\blue0;",
    "\\red0\\green0\\blue128;",     "\\red128\\green0\\blue128;",
    "\\red0\\green128\\blue128;",   "\\red128\\green128\\blue128;",
    "\\red192\\green192\\blue192;", "\\red255\\green0\\blue0;",
    "\\red0\\green255\\blue0;",     "\\red255\\green255\\blue0;",
    "\\red0\\green0\\blue255;",     "\\red255\\green0\\blue255;",
    "\\red0\\green255\\blue255;",   "\\red255\\green255\\blue255;",
};

// Windows-1252 bytes 0x80..0x9F; the five bytes it leaves undefined map to
// U+FFFD. From 0xA0 on the byte is its own code point.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(std::string &Out, char32_t C) {
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

// Length of the well-formed UTF-8 sequence at the front of S and its code
// point; 0 when S does not start with one (a truncated sequence included).
std::size_t DecodeUtf8(std::string_view S, char32_t &C) {
  const auto B = [&S](std::size_t I) { return static_cast<unsigned char>(S[I]); };
  const unsigned char L = B(0);
  std::size_t N;
  char32_t Min;
  if (L < 0x80) {
    C = L;
    return 1;
  } else if (L >= 0xC2 && L <= 0xDF) {
    N = 2, C = L & 0x1F, Min = 0x80;
  } else if (L >= 0xE0 && L <= 0xEF) {
    N = 3, C = L & 0x0F, Min = 0x800;
  } else if (L >= 0xF0 && L <= 0xF4) {
    N = 4, C = L & 0x07, Min = 0x10000;
  } else {
    return 0;
  }
  if (S.size() < N) return 0;
  for (std::size_t I = 1; I < N; ++I) {
    if ((B(I) & 0xC0) != 0x80) return 0;
    C = (C << 6) | (B(I) & 0x3F);
  }
  if (C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) return 0;
  return N;
}

void AppendRtfUnicode(std::string &Out, char32_t C) {
  const auto Put = [&Out](char32_t Unit) {
    // RTF takes a signed 16-bit number; "?" is what a reader without Unicode shows.
    char Text[16];
    const auto End = std::to_chars(Text, Text + sizeof Text, static_cast<std::int16_t>(Unit));
    Out += "\\u";
    Out.append(Text, End.ptr);
    Out += '?';
  };
  if (C < 0x10000) {
    Put(C);
  } else {
    Put(0xD800 + ((C - 0x10000) >> 10));
    Put(0xDC00 + ((C - 0x10000) & 0x3FF));
  }
}

void AppendRtfHex(std::string &Out, unsigned char C) {
  static const char Digits[] = "0123456789abcdef";
  Out += "\\'";
  Out += Digits[C >> 4];
  Out += Digits[C & 15];
}

} // namespace

bool IsValidUtf8(std::string_view Bytes, bool *SawHigh) {
  std::size_t I = 0;
  while (I < Bytes.size()) {
    // ASCII runs are the common case: eight bytes at a time.
    std::uint64_t Word;
    if (I + 8 <= Bytes.size() &&
        (std::memcpy(&Word, Bytes.data() + I, 8), (Word & 0x8080808080808080ull) == 0)) {
      I += 8;
      continue;
    }
    if (static_cast<unsigned char>(Bytes[I]) < 0x80) {
      ++I;
      continue;
    }
    char32_t C;
    const std::size_t N = DecodeUtf8(Bytes.substr(I), C);
    if (N == 0) return false;
    if (SawHigh) *SawHigh = true;
    I += N;
  }
  return true;
}

TSourceCharset SourceCharsetOf(const std::string &FileName) {
  const int Fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (Fd < 0) return TSourceCharset::csWindows1252;
  // Read in blocks; a sequence cut by a block's end is carried to the next.
  constexpr std::size_t BlockSize = 1 << 16;
  const std::unique_ptr<char[]> Block(new char[BlockSize + 3]);  // not cleared: read into
  std::size_t Carry = 0;
  bool Valid = true;
  bool SawHigh = false;
  for (;;) {
    const ssize_t Got = ::read(Fd, Block.get() + Carry, BlockSize);
    if (Got < 0) {
      Valid = false;
      break;
    }
    if (Got == 0) {
      Valid = Carry == 0;
      break;
    }
    const std::size_t Size = Carry + static_cast<std::size_t>(Got);
    std::size_t End = Size;
    // Hold back an incomplete sequence at the end (at most three bytes).
    for (std::size_t Back = 1; Back <= 3 && Back <= End; ++Back) {
      const unsigned char B = static_cast<unsigned char>(Block[End - Back]);
      if ((B & 0xC0) == 0x80) continue;
      if (B >= 0xC0) {
        const std::size_t Need = B >= 0xF0 ? 4 : B >= 0xE0 ? 3 : 2;
        if (Need > Back) End -= Back;
      }
      break;
    }
    const std::string_view Whole(Block.get(), End);
    if (!IsValidUtf8(Whole, &SawHigh)) {
      Valid = false;
      break;
    }
    Carry = Size - End;
    std::memmove(Block.get(), Block.get() + End, Carry);
  }
  ::close(Fd);
  // Plain ASCII reads the same either way.
  return Valid && SawHigh ? TSourceCharset::csUtf8 : TSourceCharset::csWindows1252;
}

void AppendRtfEscaped(std::string &Out, std::string_view S) {
  const std::size_t Plain = PlainPrefix(S, emRtf);
  Out.append(S.substr(0, Plain));
  for (std::size_t I = Plain; I < S.size(); ++I) {
    const char C = S[I];
    switch (C) {
    case '\\': Out += "\\\\"; break;
    case '{': Out += "\\{"; break;
    case '}': Out += "\\}"; break;
    case '\r':
      Out += "\\par ";
      if (I + 1 < S.size() && S[I + 1] == '\n') ++I;
      break;
    case '\n':
      Out += "\\par ";
      break;
    default:
      if (static_cast<unsigned char>(C) >= 0x80)
        AppendRtfHex(Out, static_cast<unsigned char>(C));
      else
        Out += C;
    }
  }
}

void AppendHtmlEscaped(std::string &Out, std::string_view S) {
  const std::size_t Plain = PlainPrefix(S, emHtml);
  Out.append(S.substr(0, Plain));
  for (const char C : S.substr(Plain)) {
    switch (C) {
    case '&': Out += "&amp;"; break;
    case '<': Out += "&lt;"; break;
    case '>': Out += "&gt;"; break;
    case '"': Out += "&quot;"; break;
    default: Out += C;
    }
  }
}

std::string RtfEscape(std::string_view S) {
  std::string Out;
  AppendRtfEscaped(Out, S);
  return Out;
}

std::string HtmlEscape(std::string_view S) {
  std::string Out;
  AppendHtmlEscaped(Out, S);
  return Out;
}

std::string RelativeHref(std::string_view Name) {
  const std::size_t Colon = Name.find(':');
  if (Colon == std::string_view::npos || Colon > Name.find_first_of("/?#"))
    return std::string(Name);
  return "./" + std::string(Name);
}

std::string HtmlLinkTarget(std::string_view Href) {
  const std::size_t Hash = Href.find('#');
  if (Hash == std::string_view::npos) return RelativeHref(Href);
  return RelativeHref(Href.substr(0, Hash)) + LowerCase(Href.substr(Hash));
}

std::string HtmlPageText(std::string_view S) {
  bool Plain = true;  // the common case: nothing to escape or decode
  for (const char C : S) Plain = Plain && !(EscapeMarks.Of[static_cast<unsigned char>(C)] & emHtml);
  if (Plain) return std::string(S);
  TListingFiles Text;  // its text path, without a file and without line anchors
  return Text.PageText(S, IsValidUtf8(S) ? TSourceCharset::csUtf8 : TSourceCharset::csWindows1252);
}

std::string TListingFiles::PageText(std::string_view S, TSourceCharset Charset) {
  FCharset = Charset;
  FLineDue = false;
  std::string Out;
  for (std::size_t I = 0; I < S.size(); ++I) {
    // Line breaks are not lines here: each is shown on its own.
    const std::size_t Break = S.find_first_of("\r\n", I);
    PutHtmlText(Out, S.substr(I, Break == std::string_view::npos ? S.npos : Break - I));
    if (Break == std::string_view::npos) break;
    FLineDue = false;
    AppendUtf8(Out, 0x2400 + static_cast<unsigned char>(S[Break]));
    I = Break;
  }
  return Out;
}

std::string FileHref(std::string_view Name) { return HtmlEscape(RelativeHref(UrlEscaped(Name))); }

std::string PageHref(std::string_view Href) {
  const std::size_t Hash = Href.find('#');
  const std::string Page = HtmlEscape(RelativeHref(Href.substr(0, Hash)));
  if (Hash == std::string_view::npos) return Page;
  return Page + "#" + HtmlEscape(UrlEscaped(LowerCase(Href.substr(Hash + 1))));
}

std::uint64_t CallersKey(std::string_view Page, std::string_view Anchor) {
  std::uint64_t Hash = 14695981039346656037ull;  // FNV-1a of the page, then the anchor's key
  for (const unsigned char C : Page) Hash = (Hash ^ C) * 1099511628211ull;
  return (Hash ^ NameKey(Anchor)) * 0x9E3779B97F4A7C15ull;
}

std::string CallersId(std::string_view Page, std::string_view Anchor) {
  // "c" and the key in sixteen hex digits.
  std::string Id(17, 'c');
  std::uint64_t Key = CallersKey(Page, Anchor);
  for (std::size_t I = 16; I > 0; --I, Key >>= 4) Id[I] = "0123456789abcdef"[Key & 15];
  return Id;
}

const char *const ListingStyle =
    "pre{counter-reset:ln}"
    "a[id]{counter-increment:ln}"
    "a[id]::before{content:counter(ln);display:inline-block;min-width:4ch;margin-right:2ch;"
    "text-align:right;color:#7F7F7F;font-weight:normal;font-style:normal;"
    "-webkit-user-select:none;user-select:none}"
    "a.cf{text-decoration:none}"
    "a.cf::after{content:\"\\2190\";color:#7F7F7F;font-style:normal;font-weight:normal}";

void TListingFiles::PutLineAnchor(std::string &H) {
  // One append per line: every line of every page has one.
  constexpr std::string_view Head = "<A ID=\"L", Tail = "\"></A>";
  char Text[48];
  std::memcpy(Text, Head.data(), Head.size());
  char *End = std::to_chars(Text + Head.size(), Text + 32, FLine).ptr;
  std::memcpy(End, Tail.data(), Tail.size());
  H.append(Text, static_cast<std::size_t>(End + Tail.size() - Text));
  FLineDue = false;
  FHtmlAfterCR = false;
}

void TListingFiles::PutHtmlText(std::string &H, std::string_view S) {
  for (std::size_t I = 0; I < S.size(); ++I) {
    if (FLineDue) {
      if (FHtmlAfterCR && S[I] == '\n') {  // the LF of a CR LF split between two texts
        H += '\n';
        FHtmlAfterCR = false;
        continue;
      }
      PutLineAnchor(H);
    }
    // The run up to the next byte that needs care goes out in one append.
    const std::size_t Run = I + PlainPrefix(S.substr(I), emHtml);
    if (Run > I) H.append(S.data() + I, Run - I);
    I = Run;
    if (I == S.size()) break;
    const char C = S[I];
    const unsigned char B = static_cast<unsigned char>(C);
    switch (C) {
      case '&':
        H += "&amp;";
        break;
      case '<':
        H += "&lt;";
        break;
      case '>':
        H += "&gt;";
        break;
      case '"':
        H += "&quot;";
        break;
      case '\n':
        H += C;
        ++FLine;
        FLineDue = true;
        break;
      case '\r':
        ++FLine;
        FLineDue = true;
        if (I + 1 < S.size() && S[I + 1] == '\n') {
          H.append("\r\n", 2);
          ++I;
        } else {
          H += C;
          FHtmlAfterCR = I + 1 == S.size();
        }
        break;
      default:
        if (B < 0x20) {
          AppendUtf8(H, 0x2400 + B);  // control bytes are not HTML text: their symbols
        } else if (B == 0x7F) {
          AppendUtf8(H, 0x2421);
        } else if (FCharset == TSourceCharset::csWindows1252) {
          AppendUtf8(H, B < 0xA0 ? Cp1252High[B - 0x80] : B);
        } else {
          char32_t Code;
          const std::size_t N = DecodeUtf8(S.substr(I), Code);
          if (N == 0 || (Code >= 0x80 && Code < 0xA0)) {
            AppendUtf8(H, 0xFFFD);  // a C1 control, or a sequence cut between two texts
            if (N > 1) I += N - 1;
          } else {
            H.append(S.substr(I, N));
            I += N - 1;
          }
        }
    }
  }
}

void TListingFiles::PutRtfText(std::string &R, std::string_view S) {
  for (std::size_t I = 0; I < S.size(); ++I) {
    if (FRtfAfterCR) {
      FRtfAfterCR = false;
      if (S[I] == '\n') continue;  // the LF of a CR LF split between two texts
    }
    const std::size_t Run = I + PlainPrefix(S.substr(I), emRtf);
    if (Run > I) R.append(S.data() + I, Run - I);
    I = Run;
    if (I == S.size()) break;
    const char C = S[I];
    const unsigned char B = static_cast<unsigned char>(C);
    switch (C) {
      case '\\':
        R += "\\\\";
        break;
      case '{':
        R += "\\{";
        break;
      case '}':
        R += "\\}";
        break;
      case '\n':
        R += "\\par ";
        break;
      case '\r':
        R += "\\par ";
        if (I + 1 < S.size() && S[I + 1] == '\n')
          ++I;
        else
          FRtfAfterCR = I + 1 == S.size();
        break;
      default:
        if (FCharset == TSourceCharset::csWindows1252) {
          AppendRtfHex(R, B);
        } else {
          char32_t Code;
          const std::size_t N = DecodeUtf8(S.substr(I), Code);
          if (N == 0) {
            AppendRtfHex(R, B);
          } else {
            AppendRtfUnicode(R, Code);
            I += N - 1;
          }
        }
    }
  }
}

void TListingFiles::OpenListing(const std::string &HtmlFile, const std::string &RtfFile,
                                std::string_view CurrentUnit, TSourceCharset Charset) {
  Close();
  const std::string Topic = "Unit_" + std::string(CurrentUnit);
  FCharset = Charset;
  FLine = 1;
  FLineDue = true;
  FHtmlAfterCR = FRtfAfterCR = false;

  FHtml.Create(HtmlFile);
  std::string H;
  H += "<!DOCTYPE html>\r\n<HTML><HEAD><META CHARSET=\"UTF-8\">"
       "<META NAME=\"viewport\" CONTENT=\"width=device-width, initial-scale=1\"><TITLE>";
  FLineDue = false;  // the title is no source line
  PutHtmlText(H, ExtractFileName(HtmlFile));
  FLine = 1;
  FLineDue = true;
  FHtmlAfterCR = false;
  H += "</TITLE><STYLE>";
  H += ListingStyle;
  H += "</STYLE></HEAD>\r\n";
  H += "<BODY BGCOLOR=\"#00007F\" VLINK=\"#FFFF00\" LINK=\"#FFFF00\">"
       "<PRE><FONT COLOR=\"#FFFF00\">\r\n";
  H += "<A NAME = \"";
  AppendHtmlEscaped(H, LowerCase(Topic));
  H += "\"></A>\r\n";
  FHtml.Write(H);

  FRtf.Create(RtfFile);
  std::string R;
  R += "{\\rtf1\\ansi\\ansicpg1252 \\deff0\\deflang1024\r\n"
       "{\\fonttbl\r\n"
       "{\\f0\\fnil\\charset1 Courier New;}\r\n"
       "}\r\n"
       "{\\colortbl;\r\n";
  for (const char *Colour : RtfColourTable) {
    R += Colour;
    R += CrLf;
  }
  R += "}\r\n"
       "\\fs20\\f0\\keepn\r\n";
  R += "#{\\*\\footnote ";
  AppendRtfEscaped(R, Topic);
  R += "}{\\fs32\\b Unit ";
  PutRtfText(R, CurrentUnit);
  R += "}\\par\\pard\r\n";
  FRtf.Write(R);
}

void TListingFiles::EmitToken(std::string_view Text, std::string_view Caption,
                              std::string_view Topic, TTokenStyle Style) {
  if (!FHtml.IsOpen() || !FRtf.IsOpen()) return;
  // Formatted straight into the two file buffers.
  std::string &R = FRtf.Buffer();
  std::string &H = FHtml.Buffer();
  // One look at the text tells whether either format must escape anything.
  unsigned char Marks = 0;
  for (const char C : Text) Marks |= EscapeMarks.Of[static_cast<unsigned char>(C)];
  const auto PutRtf = [&](std::string_view S) {
    if ((Marks & emRtf) || FRtfAfterCR)
      PutRtfText(R, S);
    else
      R.append(S);
  };
  const auto PutHtml = [&](std::string_view S) {
    if ((Marks & emHtml) || FLineDue)
      PutHtmlText(H, S);
    else
      H.append(S);
  };
  // A line's anchor goes ahead of the markup of its first text.
  const std::string_view Shown = Style == TTokenStyle::tsLink     ? Caption
                                 : Style == TTokenStyle::tsAnchor ? std::string_view()
                                                                  : Text;
  if (FLineDue && !Shown.empty() && !(FHtmlAfterCR && Shown.front() == '\n')) PutLineAnchor(H);
  if (NameLog && (Style == TTokenStyle::tsIdent || Style == TTokenStyle::tsLink))
    NameLog->Saw(Shown, FLine);
  switch (Style) {
  case TTokenStyle::tsKeyword:
    R += "\\b\\cf16 ";
    PutRtf(Text);
    R += "\\b0\\cf12";
    H += "<B><FONT COLOR=\"#FFFFFF\">";
    PutHtml(Text);
    H += "</FONT></B>";
    break;
  case TTokenStyle::tsComment:
    R += "\\i\\cf8 ";
    PutRtf(Text);
    R += "\\i0\\cf12";
    H += "<I><FONT COLOR=\"#7F7F7F\">";
    PutHtml(Text);
    H += "</FONT></I>";
    break;
  case TTokenStyle::tsString:
    R += "\\cf9 ";
    PutRtf(Text);
    R += "\\cf12";
    H += "<FONT COLOR=\"#C0C0C0\">";
    PutHtml(Text);
    H += "</FONT>";
    break;
  case TTokenStyle::tsNumber:
    R += "\\cf11 ";
    PutRtf(Text);
    R += "\\cf12";
    H += "<FONT COLOR=\"#00FF00\">";
    PutHtml(Text);
    H += "</FONT>";
    break;
  case TTokenStyle::tsAnchor:
    R += "#{\\*\\footnote ";
    AppendRtfEscaped(R, Topic);
    R += "}";
    if (!CallersPage.empty()) {
      H += "<A CLASS=\"cf\" TITLE=\"Called from\" HREF=\"";
      H += CallersPage;
      H += '#';
      H += CallersId(PageName, Topic);
      H += "\"></A>";
    }
    H += "<A NAME = \"";
    AppendHtmlEscaped(H, LowerCase(Topic));
    H += "\"></A>";
    break;
  case TTokenStyle::tsLink:
    R += "{\\uldb ";
    AppendRtfEscaped(R, Caption);
    R += "}{\\v*";
    AppendRtfEscaped(R, Topic);
    R += "}";
    H += "<A HREF = \"";
    H += PageHref(Text);
    H += "\">";
    PutHtmlText(H, Caption);
    H += "</A>";
    break;
  default:
    // Whitespace, symbols, identifiers and raw text: no markup of their own.
    PutRtf(Text);
    PutHtml(Text);
    break;
  }
  R += CrLf;
  try {
    FRtf.Commit();
    FHtml.Commit();
  } catch (...) {
    Close(); // a listing that cannot be written ends: neither file stays open
    throw;
  }
}

void TListingFiles::CloseListing() {
  try {
    if (FRtf.IsOpen()) {
      FRtf.Write("}\r\n");
      FRtf.Close();
    }
    if (FHtml.IsOpen()) {
      FHtml.Write("</FONT></PRE></BODY></HTML>\r\n");
      FHtml.Close();
    }
  } catch (...) {
    Close();
    throw;
  }
}

void TListingFiles::Close() noexcept {
  FHtml.Abandon();
  FRtf.Abandon();
}

} // namespace codeweft
