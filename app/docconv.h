// SPDX-License-Identifier: GPL-3.0-or-later
// RTF documents in and out of the views: the RTF reader's formatted text
// becomes a QTextDocument, a QTextDocument becomes RTF.
#pragma once

#include <string>

#include "base/rtf.h"

class QTextDocument;

namespace qd {

void RtfToDocument(const TRtfDocument& rtf, QTextDocument* doc, double defaultPointSize);
TRtfDocument DocumentToRtf(const QTextDocument* doc);
// A file's bytes as UTF-8 text: UTF-8 when valid, else GBK.
std::string TextOfFileBytes(const std::string& bytes);

}  // namespace qd
