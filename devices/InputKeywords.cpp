#include "devices/InputKeywords.h"

bool IsLoopbackInputName(const std::string& name) {
    // Only A to Z are folded: other bytes of the ANSI name stay as they are.
    std::string lower = name.substr(0, 255);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    static const char* const keywords[] = {"wave",  "stereo",      "mix",
                                           "mixer", "what u hear", "output"};
    for (const char* keyword : keywords) {
        if (lower.find(keyword) != std::string::npos) {
            return true;
        }
    }
    return false;
}
