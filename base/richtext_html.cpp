// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/richtext_html.h"

namespace qd {

std::string HtmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8);
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string HtmlColor(TColor color) {
    static const char kHex[] = "0123456789abcdef";
    unsigned rgb[3] = {color & 0xFFu, (color >> 8) & 0xFFu, (color >> 16) & 0xFFu};
    std::string out = "#";
    for (unsigned v : rgb) {
        out += kHex[v >> 4];
        out += kHex[v & 0xF];
    }
    return out;
}

namespace {

// Escaped text with line breaks as <br>.
void AppendText(std::string& out, std::string_view utf8) {
    size_t pos = 0;
    while (pos <= utf8.size()) {
        size_t nl = utf8.find('\n', pos);
        size_t end = nl == std::string_view::npos ? utf8.size() : nl;
        out += HtmlEscape(utf8.substr(pos, end - pos));
        if (nl == std::string_view::npos) break;
        out += "<br>";
        pos = nl + 1;
    }
}

}  // namespace

std::string RenderHtmlFragment(const CPlainTextSink& text) {
    std::string style = "white-space:pre-wrap";
    if (text.Alignment() == TAlign::Center) style += ";text-align:center";
    if (text.Alignment() == TAlign::Right) style += ";text-align:right";
    if (text.FirstLineIndent() != 0)
        style += ";padding-left:" + std::to_string(text.FirstLineIndent()) + "px";

    std::string out = "<div style=\"" + style + "\">";
    for (const TTextRun& run : text.Runs()) {
        std::string part = text.TextRange(run.start, run.length);
        bool plain = run.color == kBlack && !run.bold;
        if (plain) {
            AppendText(out, part);
            continue;
        }
        out += "<span style=\"color:" + HtmlColor(run.color);
        if (run.bold) out += ";font-weight:bold";
        out += "\">";
        AppendText(out, part);
        out += "</span>";
    }
    out += "</div>";
    return out;
}

std::string RenderHtmlDocument(const CPlainTextSink& text, std::string_view title) {
    std::string out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    out += HtmlEscape(title);
    out += "</title>\n</head>\n<body>\n";
    out += RenderHtmlFragment(text);
    out += "\n</body>\n</html>\n";
    return out;
}

}  // namespace qd
