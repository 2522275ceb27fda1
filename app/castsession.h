// The case on screen as cast: the request record with its case fields, the
// engine that casts it and whether the result view holds a successful cast.
// The input panel, the case commands and the window share one.
#pragma once

#include <memory>

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
};

// Casts the record's request and sets the cast-shown flag on success; a
// refused moment shows the engine's error text. False without an engine.
bool CastRecord(TCastSession& session, QWidget* parent);

}  // namespace qd
