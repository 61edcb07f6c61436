// The loaders behind openInstance, one per format.
#pragma once

#include "tools/vsthost/instance.h"

namespace vsthost {

std::unique_ptr<Instance> openVst2(const std::string& path, std::string& error);

// A VST 3 plug-in: a folder or file ending in .vst3, or a file inside such a folder.
bool isVst3Path(const std::string& path);
std::string vst3ModuleFile(const std::string& path);
std::unique_ptr<Instance> openVst3(const std::string& path, std::string& error);

// A CLAP plug-in: a file ending in .clap.
bool isClapPath(const std::string& path);
std::unique_ptr<Instance> openClap(const std::string& path, std::string& error);

}  // namespace vsthost
