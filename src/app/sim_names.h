#pragma once

#include <span>

#include "edition/edition.h"
#include "simlink/sim_link.h"

/// The simulator names this edition knows, by the index the server reports: eight names for
/// FS2004 (up to "FS2004"), seven for FS2002. An index at or beyond SimNames.size() is an error.
inline constexpr std::span<const char* const> SimNames{SimNamesAll.data(), edition::SimNamesCount};
static_assert(edition::SimNamesCount <= SimNamesAll.size());
