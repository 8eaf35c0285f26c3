// A fresh folder standing for the plug-in's, where the editor looks for files beside its
// binary: in the system's temporary folder, with or without a user guide in it, its name
// holding characters a file: URL escapes. Removed at scope end.
#pragma once

#include <string>

class PluginFolder {
public:
    explicit PluginFolder(bool withGuide);
    ~PluginFolder();
    PluginFolder(const PluginFolder&) = delete;
    PluginFolder& operator=(const PluginFolder&) = delete;
    // Ends with a slash, as GetPluginPath's folders do.
    const std::string& Path() const { return path; }
    // The address of its guide, as a browser is to be given it.
    std::string GuideUrl() const;

private:
    std::string base;
    std::string path;
};
