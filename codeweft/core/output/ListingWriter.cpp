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
    for (const unsigned char c : {'\\', '{', '}', '\r', '\n'}) Of[c] |= emRtf;
    for (const unsigned char c : {'&', '<', '>', '"'}) Of[c] |= emHtml;
    for (int c = 0; c < 0x20; ++c)
      if (c != '\t' && c != '\f') Of[c] |= emHtml;
    Of[0x7F] |= emHtml;
    for (int c = 0x80; c < 0x100; ++c) Of[c] |= emRtf | emHtml;
  }
};
constexpr TEscapeMarks EscapeMarks;

// Length of the prefix of S that holds no byte marked mark.
std::size_t PlainPrefix(std::string_view s, unsigned char mark) {
  std::size_t i = 0;
  while (i < s.size() && !(EscapeMarks.Of[static_cast<unsigned char>(s[i])] & mark)) ++i;
  return i;
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

void AppendUtf8(std::string &out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Length of the well-formed UTF-8 sequence at the front of S and its code
// point; 0 when S does not start with one (a truncated sequence included).
std::size_t DecodeUtf8(std::string_view s, char32_t &c) {
  const auto b = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char l = b(0);
  std::size_t n;
  char32_t min;
  if (l < 0x80) {
    c = l;
    return 1;
  } else if (l >= 0xC2 && l <= 0xDF) {
    n = 2, c = l & 0x1F, min = 0x80;
  } else if (l >= 0xE0 && l <= 0xEF) {
    n = 3, c = l & 0x0F, min = 0x800;
  } else if (l >= 0xF0 && l <= 0xF4) {
    n = 4, c = l & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b(i) & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return n;
}

void AppendRtfUnicode(std::string &out, char32_t c) {
  const auto put = [&out](char32_t unit) {
    // RTF takes a signed 16-bit number; "?" is what a reader without Unicode shows.
    char text[16];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<std::int16_t>(unit));
    out += "\\u";
    out.append(text, end.ptr);
    out += '?';
  };
  if (c < 0x10000) {
    put(c);
  } else {
    put(0xD800 + ((c - 0x10000) >> 10));
    put(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
}

void AppendRtfHex(std::string &out, unsigned char c) {
  static const char digits[] = "0123456789abcdef";
  out += "\\'";
  out += digits[c >> 4];
  out += digits[c & 15];
}

} // namespace

bool IsValidUtf8(std::string_view bytes, bool *sawHigh) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    // ASCII runs are the common case: eight bytes at a time.
    std::uint64_t word;
    if (i + 8 <= bytes.size() &&
        (std::memcpy(&word, bytes.data() + i, 8), (word & 0x8080808080808080ull) == 0)) {
      i += 8;
      continue;
    }
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t c;
    const std::size_t n = DecodeUtf8(bytes.substr(i), c);
    if (n == 0) return false;
    if (sawHigh) *sawHigh = true;
    i += n;
  }
  return true;
}

TSourceCharset SourceCharsetOf(const std::string &fileName) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return TSourceCharset::csWindows1252;
  // Read in blocks; a sequence cut by a block's end is carried to the next.
  constexpr std::size_t blockSize = 1 << 16;
  const std::unique_ptr<char[]> block(new char[blockSize + 3]);  // not cleared: read into
  std::size_t carry = 0;
  bool valid = true;
  bool sawHigh = false;
  for (;;) {
    const ssize_t got = ::read(fd, block.get() + carry, blockSize);
    if (got < 0) {
      valid = false;
      break;
    }
    if (got == 0) {
      valid = carry == 0;
      break;
    }
    const std::size_t size = carry + static_cast<std::size_t>(got);
    std::size_t end = size;
    // Hold back an incomplete sequence at the end (at most three bytes).
    for (std::size_t back = 1; back <= 3 && back <= end; ++back) {
      const unsigned char b = static_cast<unsigned char>(block[end - back]);
      if ((b & 0xC0) == 0x80) continue;
      if (b >= 0xC0) {
        const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        if (need > back) end -= back;
      }
      break;
    }
    const std::string_view whole(block.get(), end);
    if (!IsValidUtf8(whole, &sawHigh)) {
      valid = false;
      break;
    }
    carry = size - end;
    std::memmove(block.get(), block.get() + end, carry);
  }
  ::close(fd);
  // Plain ASCII reads the same either way.
  return valid && sawHigh ? TSourceCharset::csUtf8 : TSourceCharset::csWindows1252;
}

void AppendRtfEscaped(std::string &out, std::string_view s) {
  const std::size_t plain = PlainPrefix(s, emRtf);
  out.append(s.substr(0, plain));
  for (std::size_t i = plain; i < s.size(); ++i) {
    const char c = s[i];
    switch (c) {
    case '\\': out += "\\\\"; break;
    case '{': out += "\\{"; break;
    case '}': out += "\\}"; break;
    case '\r':
      out += "\\par ";
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
      break;
    case '\n':
      out += "\\par ";
      break;
    default:
      if (static_cast<unsigned char>(c) >= 0x80)
        AppendRtfHex(out, static_cast<unsigned char>(c));
      else
        out += c;
    }
  }
}

void AppendHtmlEscaped(std::string &out, std::string_view s) {
  const std::size_t plain = PlainPrefix(s, emHtml);
  out.append(s.substr(0, plain));
  for (const char c : s.substr(plain)) {
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    default: out += c;
    }
  }
}

std::string RtfEscape(std::string_view s) {
  std::string out;
  AppendRtfEscaped(out, s);
  return out;
}

std::string HtmlEscape(std::string_view s) {
  std::string out;
  AppendHtmlEscaped(out, s);
  return out;
}

std::string RelativeHref(std::string_view name) {
  const std::size_t colon = name.find(':');
  if (colon == std::string_view::npos || colon > name.find_first_of("/?#"))
    return std::string(name);
  return "./" + std::string(name);
}

std::string HtmlLinkTarget(std::string_view href) {
  const std::size_t hash = href.find('#');
  if (hash == std::string_view::npos) return RelativeHref(href);
  return RelativeHref(href.substr(0, hash)) + LowerCase(href.substr(hash));
}

std::string HtmlPageText(std::string_view s) {
  bool plain = true;  // the common case: nothing to escape or decode
  for (const char c : s) plain = plain && !(EscapeMarks.Of[static_cast<unsigned char>(c)] & emHtml);
  if (plain) return std::string(s);
  TListingFiles text;  // its text path, without a file and without line anchors
  return text.PageText(s, IsValidUtf8(s) ? TSourceCharset::csUtf8 : TSourceCharset::csWindows1252);
}

std::string TListingFiles::PageText(std::string_view s, TSourceCharset charset) {
  FCharset = charset;
  FLineDue = false;
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    // Line breaks are not lines here: each is shown on its own.
    const std::size_t lineBreak = s.find_first_of("\r\n", i);
    PutHtmlText(out, s.substr(i, lineBreak == std::string_view::npos ? s.npos : lineBreak - i));
    if (lineBreak == std::string_view::npos) break;
    FLineDue = false;
    AppendUtf8(out, 0x2400 + static_cast<unsigned char>(s[lineBreak]));
    i = lineBreak;
  }
  return out;
}

std::string FileHref(std::string_view name) { return HtmlEscape(RelativeHref(UrlEscaped(name))); }

std::string PageHref(std::string_view href) {
  const std::size_t hash = href.find('#');
  const std::string page = HtmlEscape(RelativeHref(href.substr(0, hash)));
  if (hash == std::string_view::npos) return page;
  return page + "#" + HtmlEscape(UrlEscaped(LowerCase(href.substr(hash + 1))));
}

std::uint64_t CallersKey(std::string_view page, std::string_view anchor) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a of the page, then the anchor's key
  for (const unsigned char c : page) hash = (hash ^ c) * 1099511628211ull;
  return (hash ^ NameKey(anchor)) * 0x9E3779B97F4A7C15ull;
}

std::string CallersId(std::string_view page, std::string_view anchor) {
  // "c" and the key in sixteen hex digits.
  std::string id(17, 'c');
  std::uint64_t key = CallersKey(page, anchor);
  for (std::size_t i = 16; i > 0; --i, key >>= 4) id[i] = "0123456789abcdef"[key & 15];
  return id;
}

const char *const ListingStyle =
    "pre{counter-reset:ln}"
    "a[id]{counter-increment:ln}"
    "a[id]::before{content:counter(ln);display:inline-block;min-width:4ch;margin-right:2ch;"
    "text-align:right;color:#7F7F7F;font-weight:normal;font-style:normal;"
    "-webkit-user-select:none;user-select:none}"
    "a.cf{text-decoration:none}"
    "a.cf::after{content:\"\\2190\";color:#7F7F7F;font-style:normal;font-weight:normal}";

void TListingFiles::PutLineAnchor(std::string &h) {
  // One append per line: every line of every page has one.
  constexpr std::string_view head = "<A ID=\"L", tail = "\"></A>";
  char text[48];
  std::memcpy(text, head.data(), head.size());
  char *end = std::to_chars(text + head.size(), text + 32, FLine).ptr;
  std::memcpy(end, tail.data(), tail.size());
  h.append(text, static_cast<std::size_t>(end + tail.size() - text));
  FLineDue = false;
  FHtmlAfterCR = false;
}

void TListingFiles::PutHtmlText(std::string &h, std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (FLineDue) {
      if (FHtmlAfterCR && s[i] == '\n') {  // the LF of a CR LF split between two texts
        h += '\n';
        FHtmlAfterCR = false;
        continue;
      }
      PutLineAnchor(h);
    }
    // The run up to the next byte that needs care goes out in one append.
    const std::size_t run = i + PlainPrefix(s.substr(i), emHtml);
    if (run > i) h.append(s.data() + i, run - i);
    i = run;
    if (i == s.size()) break;
    const char c = s[i];
    const unsigned char b = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        h += "&amp;";
        break;
      case '<':
        h += "&lt;";
        break;
      case '>':
        h += "&gt;";
        break;
      case '"':
        h += "&quot;";
        break;
      case '\n':
        h += c;
        ++FLine;
        FLineDue = true;
        break;
      case '\r':
        ++FLine;
        FLineDue = true;
        if (i + 1 < s.size() && s[i + 1] == '\n') {
          h.append("\r\n", 2);
          ++i;
        } else {
          h += c;
          FHtmlAfterCR = i + 1 == s.size();
        }
        break;
      default:
        if (b < 0x20) {
          AppendUtf8(h, 0x2400 + b);  // control bytes are not HTML text: their symbols
        } else if (b == 0x7F) {
          AppendUtf8(h, 0x2421);
        } else if (FCharset == TSourceCharset::csWindows1252) {
          AppendUtf8(h, b < 0xA0 ? Cp1252High[b - 0x80] : b);
        } else {
          char32_t code;
          const std::size_t n = DecodeUtf8(s.substr(i), code);
          if (n == 0 || (code >= 0x80 && code < 0xA0)) {
            AppendUtf8(h, 0xFFFD);  // a C1 control, or a sequence cut between two texts
            if (n > 1) i += n - 1;
          } else {
            h.append(s.substr(i, n));
            i += n - 1;
          }
        }
    }
  }
}

void TListingFiles::PutRtfText(std::string &r, std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (FRtfAfterCR) {
      FRtfAfterCR = false;
      if (s[i] == '\n') continue;  // the LF of a CR LF split between two texts
    }
    const std::size_t run = i + PlainPrefix(s.substr(i), emRtf);
    if (run > i) r.append(s.data() + i, run - i);
    i = run;
    if (i == s.size()) break;
    const char c = s[i];
    const unsigned char b = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        r += "\\\\";
        break;
      case '{':
        r += "\\{";
        break;
      case '}':
        r += "\\}";
        break;
      case '\n':
        r += "\\par ";
        break;
      case '\r':
        r += "\\par ";
        if (i + 1 < s.size() && s[i + 1] == '\n')
          ++i;
        else
          FRtfAfterCR = i + 1 == s.size();
        break;
      default:
        if (FCharset == TSourceCharset::csWindows1252) {
          AppendRtfHex(r, b);
        } else {
          char32_t code;
          const std::size_t n = DecodeUtf8(s.substr(i), code);
          if (n == 0) {
            AppendRtfHex(r, b);
          } else {
            AppendRtfUnicode(r, code);
            i += n - 1;
          }
        }
    }
  }
}

void TListingFiles::OpenListing(const std::string &htmlFile, const std::string &rtfFile,
                                std::string_view currentUnit, TSourceCharset charset) {
  Close();
  const std::string topic = "Unit_" + std::string(currentUnit);
  FCharset = charset;
  FLine = 1;
  FLineDue = true;
  FHtmlAfterCR = FRtfAfterCR = false;

  FHtml.Create(htmlFile);
  std::string h;
  h += "<!DOCTYPE html>\r\n<HTML><HEAD><META CHARSET=\"UTF-8\">"
       "<META NAME=\"viewport\" CONTENT=\"width=device-width, initial-scale=1\"><TITLE>";
  FLineDue = false;  // the title is no source line
  PutHtmlText(h, ExtractFileName(htmlFile));
  FLine = 1;
  FLineDue = true;
  FHtmlAfterCR = false;
  h += "</TITLE><STYLE>";
  h += ListingStyle;
  h += "</STYLE></HEAD>\r\n";
  h += "<BODY BGCOLOR=\"#00007F\" VLINK=\"#FFFF00\" LINK=\"#FFFF00\">"
       "<PRE><FONT COLOR=\"#FFFF00\">\r\n";
  h += "<A NAME = \"";
  AppendHtmlEscaped(h, LowerCase(topic));
  h += "\"></A>\r\n";
  FHtml.Write(h);

  FRtf.Create(rtfFile);
  std::string r;
  r += "{\\rtf1\\ansi\\ansicpg1252 \\deff0\\deflang1024\r\n"
       "{\\fonttbl\r\n"
       "{\\f0\\fnil\\charset1 Courier New;}\r\n"
       "}\r\n"
       "{\\colortbl;\r\n";
  for (const char *colour : RtfColourTable) {
    r += colour;
    r += CrLf;
  }
  r += "}\r\n"
       "\\fs20\\f0\\keepn\r\n";
  r += "#{\\*\\footnote ";
  AppendRtfEscaped(r, topic);
  r += "}{\\fs32\\b Unit ";
  PutRtfText(r, currentUnit);
  r += "}\\par\\pard\r\n";
  FRtf.Write(r);
}

void TListingFiles::EmitToken(std::string_view text, std::string_view caption,
                              std::string_view topic, TTokenStyle style) {
  if (!FHtml.IsOpen() || !FRtf.IsOpen()) return;
  // Formatted straight into the two file buffers.
  std::string &r = FRtf.Buffer();
  std::string &h = FHtml.Buffer();
  // One look at the text tells whether either format must escape anything.
  unsigned char marks = 0;
  for (const char c : text) marks |= EscapeMarks.Of[static_cast<unsigned char>(c)];
  const auto putRtf = [&](std::string_view s) {
    if ((marks & emRtf) || FRtfAfterCR)
      PutRtfText(r, s);
    else
      r.append(s);
  };
  const auto putHtml = [&](std::string_view s) {
    if ((marks & emHtml) || FLineDue)
      PutHtmlText(h, s);
    else
      h.append(s);
  };
  // A line's anchor goes ahead of the markup of its first text.
  const std::string_view shown = style == TTokenStyle::tsLink     ? caption
                                 : style == TTokenStyle::tsAnchor ? std::string_view()
                                                                  : text;
  if (FLineDue && !shown.empty() && !(FHtmlAfterCR && shown.front() == '\n')) PutLineAnchor(h);
  if (NameLog && (style == TTokenStyle::tsIdent || style == TTokenStyle::tsLink))
    NameLog->Saw(shown, FLine);
  switch (style) {
  case TTokenStyle::tsKeyword:
    r += "\\b\\cf16 ";
    putRtf(text);
    r += "\\b0\\cf12";
    h += "<B><FONT COLOR=\"#FFFFFF\">";
    putHtml(text);
    h += "</FONT></B>";
    break;
  case TTokenStyle::tsComment:
    r += "\\i\\cf8 ";
    putRtf(text);
    r += "\\i0\\cf12";
    h += "<I><FONT COLOR=\"#7F7F7F\">";
    putHtml(text);
    h += "</FONT></I>";
    break;
  case TTokenStyle::tsString:
    r += "\\cf9 ";
    putRtf(text);
    r += "\\cf12";
    h += "<FONT COLOR=\"#C0C0C0\">";
    putHtml(text);
    h += "</FONT>";
    break;
  case TTokenStyle::tsNumber:
    r += "\\cf11 ";
    putRtf(text);
    r += "\\cf12";
    h += "<FONT COLOR=\"#00FF00\">";
    putHtml(text);
    h += "</FONT>";
    break;
  case TTokenStyle::tsAnchor:
    r += "#{\\*\\footnote ";
    AppendRtfEscaped(r, topic);
    r += "}";
    if (!CallersPage.empty()) {
      h += "<A CLASS=\"cf\" TITLE=\"Called from\" HREF=\"";
      h += CallersPage;
      h += '#';
      h += CallersId(PageName, topic);
      h += "\"></A>";
    }
    h += "<A NAME = \"";
    AppendHtmlEscaped(h, LowerCase(topic));
    h += "\"></A>";
    break;
  case TTokenStyle::tsLink:
    r += "{\\uldb ";
    AppendRtfEscaped(r, caption);
    r += "}{\\v*";
    AppendRtfEscaped(r, topic);
    r += "}";
    h += "<A HREF = \"";
    h += PageHref(text);
    h += "\">";
    PutHtmlText(h, caption);
    h += "</A>";
    break;
  default:
    // Whitespace, symbols, identifiers and raw text: no markup of their own.
    putRtf(text);
    putHtml(text);
    break;
  }
  r += CrLf;
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
