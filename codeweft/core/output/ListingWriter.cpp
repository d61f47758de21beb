#include "codeweft/core/output/ListingWriter.h"

#include <cstring>

#include "codeweft/core/FileNames.h"

namespace codeweft {

namespace {

constexpr std::string_view CrLf = "\r\n";

// The bytes each format must escape, looked up in one table: the common case
// of a token that needs no escaping is one scan and one append.
enum : unsigned char { emRtf = 1, emHtml = 2 };
struct TEscapeMarks {
  unsigned char Of[256] = {};
  constexpr TEscapeMarks() {
    for (const unsigned char C : {'\\', '{', '}', '\r'}) Of[C] |= emRtf;
    for (const unsigned char C : {'&', '<', '>', '"'}) Of[C] |= emHtml;
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

} // namespace

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
      if (I + 1 < S.size() && S[I + 1] == '\n') {
        Out += "\\par ";
        ++I;
      } else {
        Out += C;
      }
      break;
    default: Out += C;
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

void TListingFiles::OpenListing(const std::string &HtmlFile, const std::string &RtfFile,
                                std::string_view CurrentUnit) {
  Close();
  const std::string Topic = "Unit_" + std::string(CurrentUnit);

  FHtml.Create(HtmlFile);
  std::string H;
  H += "<HTML><HEAD><TITLE>";
  AppendHtmlEscaped(H, ExtractFileName(HtmlFile));
  H += "</TITLE></HEAD>\r\n";
  H += "<BODY BGCOLOR=\"#00007F\" VLINK=\"#FFFF00\" LINK=\"#FFFF00\">"
       "<PRE><FONT COLOR=\"#FFFF00\">\r\n";
  H += "<A NAME = \"";
  AppendHtmlEscaped(H, LowerCase(Topic));
  H += "\"></A>\r\n";
  FHtml.Write(H);

  FRtf.Create(RtfFile);
  std::string R;
  R += "{\\rtf1\\ansi \\deff0\\deflang1024\r\n"
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
  AppendRtfEscaped(R, CurrentUnit);
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
    if (Marks & emRtf)
      AppendRtfEscaped(R, S);
    else
      R.append(S);
  };
  const auto PutHtml = [&](std::string_view S) {
    if (Marks & emHtml)
      AppendHtmlEscaped(H, S);
    else
      H.append(S);
  };
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
    AppendHtmlEscaped(H, HtmlLinkTarget(Text));
    H += "\">";
    AppendHtmlEscaped(H, Caption);
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
