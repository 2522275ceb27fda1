// SPDX-License-Identifier: GPL-3.0-or-later
// The case on screen as cast: the request record with its case fields, the
// engine that casts it and whether the result view holds a successful cast.
// The input panel, the case commands and the window share one.
#pragma once

#include <memory>
#include <vector>

#include "engine/quadrellemp.h"
#include "engine/request.h"

class QWidget;

namespace qd {

struct TCastSession {
    TCastSession() { InitRecordData(record); }

    TRecordData record;
    // From the show step to the close; null before and after.
    std::unique_ptr<CQuadrellemp> engine;
    // The cast-shown flag: the topic readings, stepping, saving and the
    // calendar window take the cast's moment only while it is set.
    bool shown = false;
    // The unusable keys of dat/set.ini already told to the user: each is
    // told once, not at every cast.
    std::vector<TSettingsProblem> toldProblems;
};

// Tells the user about the unusable keys of dat/set.ini that the last cast
// found and that were not told before; the cast used their defaults.
void TellSettingsProblems(TCastSession& session, QWidget* parent);

// Casts the record's request and sets the cast-shown flag on success; a
// refused moment shows the engine's error text, an unusable setting is told
// once. False without an engine.
bool CastRecord(TCastSession& session, QWidget* parent);

}  // namespace qd
