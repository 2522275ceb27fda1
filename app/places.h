// SPDX-License-Identifier: GPL-3.0-or-later
// The places file and its coordinates live in the calendar library, where
// qdl reads them too.
#pragma once

#include "calendar/places.h"
