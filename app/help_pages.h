// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed pages of the help window.
#pragma once

namespace qd {

struct THelpPage {
    const char* title;
    const char* html;
};

constexpr int kHelpPageCount = 5;
extern const THelpPage kHelpPages[kHelpPageCount];

}  // namespace qd
