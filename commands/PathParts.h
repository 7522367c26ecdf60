#pragma once
#include <string>

// From the last backslash (inclusive) to the end; empty without a backslash.
std::string FileNamePartOf(const std::string& path);
// Up to and including the last backslash; empty without a backslash.
std::string DirectoryOf(const std::string& path);
// The folder the save dialog opens on: the path cut before its last backslash, or ".".
std::string InitialFolderOf(const std::string& path);
// The chosen file with its extension replaced by ".wav" (a dot in a folder name stays).
std::string WithWavExtension(const std::string& path);
// The media player's path on the drive of the temporary folder.
std::string PlayerPathFor(const std::string& tempFolder);
// Quotes a path for a command line, so that spaces cannot split it into other words.
std::string Quoted(const std::string& path);
