// SPDX-License-Identifier: GPL-3.0-or-later
// Cleaning of the short texts that end up in SQL statements, file names and
// fixed-width record fields: names, questions and category names.
#pragma once

#include <cstddef>
#include <string>

namespace qd {

// Makes a UTF-8 text fit for a name, a question or a category name:
//  - an empty text becomes "甲";
//  - the characters " * < > ? \ / | : ' and the blank are removed;
//  - the text is cut to maxChars characters (0 = no limit; a Chinese
//    character counts as one).
// Answers whether anything changed.
bool CleanText(std::string& text, size_t maxChars);

}  // namespace qd
