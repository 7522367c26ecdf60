#pragma once
#include <string>

// The status line's texts of a recording.
inline constexpr char kStatusReady[] = "Status : Ready";
inline constexpr char kStatusRecording[] = "Status : Recording audio - Used Time: %02d:%02d:%02d";
inline constexpr char kStatusPaused[] =
    "Status : Paused audio recording - Used Time: %02d:%02d:%02d";

// One of the timed formats above filled with hours, minutes and seconds of a count.
std::string FormatElapsed(const char* format, int seconds);
