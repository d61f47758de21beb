// The output side of a listing: one RTF topic file and one HTML page per
// source file, every token wrapped in the markup of its style.
//
// Both documents reproduce the source's text. Text that reaches a page is
// always escaped (HTML: & < > " become entities; RTF: \ { } are escaped and
// every line break, CR LF, LF or CR, becomes \par), so nothing read from a
// source or a file name can turn into markup. A source is read as UTF-8 when
// it is valid UTF-8, else as Windows-1252: HTML pages are written in UTF-8
// (and say so), RTF topics declare code page 1252 and write other characters
// as \'hh or \uN. In HTML, anchor names and the "#" fragment of a link are written
// in lower case so that every cross-reference reaches its anchor whatever case
// the source used; RTF topics keep their case (the help viewer ignores it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codeweft/core/Text.h"
#include "codeweft/core/lex/Token.h"
#include "codeweft/core/output/NameLines.h"
#include "codeweft/core/output/OutputFile.h"

namespace codeweft {

// How the bytes of a source are read.
enum class TSourceCharset { csWindows1252, csUtf8 };

// True when bytes is well-formed UTF-8 (no overlong forms, no surrogates).
// SawHigh, when given, is set when bytes holds a byte from 0x80 (a sequence).
bool IsValidUtf8(std::string_view bytes, bool *sawHigh = nullptr);
// The charset of a source file: csUtf8 when the whole file is valid UTF-8
// (a leading byte-order mark included), else csWindows1252. A file that
// cannot be read counts as csWindows1252; opening it for the listing says why.
TSourceCharset SourceCharsetOf(const std::string &fileName);

// Backslash -> "\\", "{" -> "\{", "}" -> "\}", CR LF, a lone LF and a lone CR
// -> "\par ". Bytes from 0x80 are written as \'hh (code page 1252).
std::string RtfEscape(std::string_view s);
// "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;", '"' -> "&quot;".
std::string HtmlEscape(std::string_view s);
void AppendRtfEscaped(std::string &out, std::string_view s);
// Text for a UTF-8 page (a name from a file system or a project): escaped as
// HtmlEscape; read as UTF-8 when valid, else as Windows-1252; control bytes
// shown as their symbols (they are no HTML text).
std::string HtmlPageText(std::string_view s);
void AppendHtmlEscaped(std::string &out, std::string_view s);

// An HTML link target with its "#" fragment (if any) in lower case; the page
// part before the "#" is kept as given.
// A file name to be used as a relative link: a name whose first segment holds
// a ":" ("javascript:x.html") would be read as a URL scheme, so it is given as
// "./" + name, which is the same file and never a scheme.
std::string RelativeHref(std::string_view name);

std::string HtmlLinkTarget(std::string_view href);

// A file name as a link target: "%", "#", "?", blanks and control bytes are
// percent-encoded, then the result is HTML-escaped for an attribute value.
std::string FileHref(std::string_view name);
// A link target "page#fragment" whose page part is already URL-escaped
// (PageLink): the fragment in lower case and escaped, all HTML-escaped.
std::string PageHref(std::string_view href);

// The style sheet of the unit pages: line numbers beside the text, drawn by
// the line anchors (not part of the text), and the "called from" markers.
extern const char *const ListingStyle;

// The key of the routine whose implementation has anchor anchor on page
// Page (the anchor without regard to case); CallersId writes it as the id,
// on the symbol index page, of the list of places that call the routine.
std::uint64_t CallersKey(std::string_view page, std::string_view anchor);
std::string CallersId(std::string_view page, std::string_view anchor);

// The two files of one listing, open between OpenListing and CloseListing.
// If a run fails in between, Close (or the destructor) closes both files.
class TListingFiles {
public:
  TListingFiles() = default;
  TListingFiles(const TListingFiles &) = delete;
  TListingFiles &operator=(const TListingFiles &) = delete;
  ~TListingFiles() { Close(); }

  // Creates htmlFile and rtfFile (replacing existing files) and writes their
  // headers; currentUnit names the page's own anchor and the RTF topic, and
  // Charset says how the source's bytes are read. Every source line of the
  // page starts with an anchor "L<n>" (n from 1).
  // Throws EFCreateError naming the file that could not be created.
  void OpenListing(const std::string &htmlFile, const std::string &rtfFile,
                   std::string_view currentUnit,
                   TSourceCharset charset = TSourceCharset::csWindows1252);

  // Writes one entry to both files. Text is the token's text (for a link, the
  // HTML target); Caption is a link's visible text; Topic is a link's help
  // topic or an anchor's name. Does nothing while no listing is open.
  void EmitToken(std::string_view text, std::string_view caption, std::string_view topic,
                 TTokenStyle style);
  void EmitToken(const TDelayedToken &token) {
    EmitToken(token.Text, token.Caption, token.Topic, token.Style);
  }

  // Writes the trailers and closes both files; throws EFWriteError.
  void CloseListing();

  // Closes whatever is open, without trailers and without error reports.
  void Close() noexcept;

  bool IsOpen() const { return FHtml.IsOpen() || FRtf.IsOpen(); }

  // The source line the next text starts on (1 for the first).
  int Line() const { return FLine; }

  // When set, every identifier and link caption written is offered to it
  // with its line (the declarations of the symbol index are found in it).
  TNameLines *NameLog = nullptr;
  // When set (an escaped link target), every routine anchor is followed by a
  // marker linking to its "called from" list there; PageName is this page.
  std::string CallersPage;
  std::string PageName;

  // S as page text in charset, without line anchors (see HtmlPageText).
  std::string PageText(std::string_view s, TSourceCharset charset);

 private:
  void PutHtmlText(std::string &h, std::string_view s);
  void PutRtfText(std::string &r, std::string_view s);
  void PutLineAnchor(std::string &h);

  TOutputFile FHtml;
  TOutputFile FRtf;
  TSourceCharset FCharset = TSourceCharset::csWindows1252;
  int FLine = 1;              // the line of the next text
  bool FLineDue = true;       // a line has started and its anchor is not yet written
  bool FHtmlAfterCR = false;  // the last text ended in CR: an LF next ends that same line
  bool FRtfAfterCR = false;
};

} // namespace codeweft
