#pragma once
#include <string>

namespace tamaruka {

// The folder of the running executable (/proc/self/exe), without a trailing
// "/"; empty when it cannot be read.
std::string programFolder();

// "<folder>/Tamaruka.data": the renderer lives beside the front-end.
std::string rendererFilePath(const std::string& programFolder);

// True when the path names a file that can be opened for reading. One
// trailing "/" is removed first; folders, unreadable files and "" give false.
bool FileExists(std::string path);

}  // namespace tamaruka
