// The output side of a listing: one RTF topic file and one HTML page per
// source file, every token wrapped in the markup of its style.
//
// Both documents reproduce the source byte for byte. Text that reaches a page
// is always escaped (HTML: & < > " become entities; RTF: \ { } are escaped and
// CR LF becomes \par), so nothing read from a source or a file name can turn
// into markup. In HTML, anchor names and the "#" fragment of a link are written
// in lower case so that every cross-reference reaches its anchor whatever case
// the source used; RTF topics keep their case (the help viewer ignores it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "codeweft/core/output/OutputFile.h"
#include "codeweft/core/Text.h"
#include "codeweft/core/lex/Token.h"

namespace codeweft {

// Backslash -> "\\", "{" -> "\{", "}" -> "\}", CR LF -> "\par ". A lone CR or
// LF and tabs stay as they are.
std::string RtfEscape(std::string_view S);
// "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;", '"' -> "&quot;".
std::string HtmlEscape(std::string_view S);
void AppendRtfEscaped(std::string &Out, std::string_view S);
void AppendHtmlEscaped(std::string &Out, std::string_view S);

// An HTML link target with its "#" fragment (if any) in lower case; the page
// part before the "#" is kept as given.
// A file name to be used as a relative link: a name whose first segment holds
// a ":" ("javascript:x.html") would be read as a URL scheme, so it is given as
// "./" + name, which is the same file and never a scheme.
std::string RelativeHref(std::string_view Name);

std::string HtmlLinkTarget(std::string_view Href);

// The two files of one listing, open between OpenListing and CloseListing.
// If a run fails in between, Close (or the destructor) closes both files.
class TListingFiles {
public:
  TListingFiles() = default;
  TListingFiles(const TListingFiles &) = delete;
  TListingFiles &operator=(const TListingFiles &) = delete;
  ~TListingFiles() { Close(); }

  // Creates HtmlFile and RtfFile (replacing existing files) and writes their
  // headers; CurrentUnit names the page's own anchor and the RTF topic.
  // Throws EFCreateError naming the file that could not be created.
  void OpenListing(const std::string &HtmlFile, const std::string &RtfFile,
                   std::string_view CurrentUnit);

  // Writes one entry to both files. Text is the token's text (for a link, the
  // HTML target); Caption is a link's visible text; Topic is a link's help
  // topic or an anchor's name. Does nothing while no listing is open.
  void EmitToken(std::string_view Text, std::string_view Caption, std::string_view Topic,
                 TTokenStyle Style);
  void EmitToken(const TDelayedToken &Token) {
    EmitToken(Token.Text, Token.Caption, Token.Topic, Token.Style);
  }

  // Writes the trailers and closes both files; throws EFWriteError.
  void CloseListing();

  // Closes whatever is open, without trailers and without error reports.
  void Close() noexcept;

  bool IsOpen() const { return FHtml.IsOpen() || FRtf.IsOpen(); }

private:
  TOutputFile FHtml;
  TOutputFile FRtf;
};

} // namespace codeweft
