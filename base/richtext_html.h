// SPDX-License-Identifier: GPL-3.0-or-later
// A rich-text sink whose result is HTML (UTF-8), for `qdl cast --format html`.
// It keeps the text exactly as CPlainTextSink does (same positions, Find,
// selection) and renders the runs on request.
#pragma once

#include <string>
#include <string_view>

#include "base/richtext_plain.h"

namespace qd {

// Escapes & < > " ' for HTML text and attribute values.
std::string HtmlEscape(std::string_view utf8);
// "#rrggbb" of a Windows colour value (0x00BBGGRR).
std::string HtmlColor(TColor color);

// The text of a sink as an HTML fragment: one <div> with white-space kept
// (the chart aligns its columns with blanks), line breaks as <br>, every run
// that is not plain black as <span style="color:#rrggbb"> or
// <span style="color:#rrggbb;font-weight:bold">. A centred or right-aligned
// paragraph format sets text-align; a first-line indent becomes a left
// padding in pixels (every line of the chart is a paragraph of its own).
std::string RenderHtmlFragment(const CPlainTextSink& text);
// A complete HTML5 document around the fragment.
std::string RenderHtmlDocument(const CPlainTextSink& text, std::string_view title);

class CHtmlTextSink : public CPlainTextSink {
public:
    std::string Html() const { return RenderHtmlFragment(*this); }
    std::string Document(std::string_view title) const { return RenderHtmlDocument(*this, title); }
};

}  // namespace qd
