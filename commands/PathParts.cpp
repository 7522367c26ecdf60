#include "commands/PathParts.h"

std::string FileNamePartOf(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(slash);
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string InitialFolderOf(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string WithWavExtension(const std::string& path) {
    size_t slash = path.rfind('\\');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    std::string stem = (dot != std::string::npos && dot >= nameStart) ? path.substr(0, dot) : path;
    return stem + ".wav";
}

std::string PlayerPathFor(const std::string& tempFolder) {
    return tempFolder.substr(0, 3) + "Program Files\\Windows Media Player\\mplayer2.exe";
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}
