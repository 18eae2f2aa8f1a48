#pragma once

namespace ombrix::shell {

// How long a status-bar message about something done or failed stays.
inline constexpr int kMessageMs = 10'000;
// How long a word about a single key stays.
inline constexpr int kBriefMessageMs = 3'000;

} // namespace ombrix::shell
