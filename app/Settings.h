// The recorder's settings: one section of the application's profile (under the registry key
// that RecorderApp names), every key in it and its default.
#pragma once
#include <windows.h>
#include <shlobj.h>

namespace settings {

inline constexpr char kSection[] = "Option";

// The chosen capture device, input line and whether an input was ever chosen by name.
inline constexpr char kSoundCaptureIndex[] = "nSoundCaptureIndex";
inline constexpr int kSoundCaptureIndexDefault = 0;
inline constexpr char kCapturePinIndex[] = "nCapturePinIndex";
inline constexpr int kCapturePinIndexDefault = 0;
inline constexpr char kSearchFlag[] = "nSearchFlag";
inline constexpr int kSearchFlagDefault = 0;

// The output file; on newer systems the default's file name goes into the user's music folder.
inline constexpr char kOutputFile[] = "output_wav_file";
inline constexpr char kOutputFileDefault[] = "c:\\recorder.wav";
inline constexpr int kOutputFolder = CSIDL_MYMUSIC;

// Set once the input guidance dialog was answered with "don't show again".
inline constexpr char kOnlyOnce[] = "b_only_once";
inline constexpr int kOnlyOnceDefault = 0;

} // namespace settings
