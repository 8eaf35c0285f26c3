#include "tests/analyser/PluginFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "analyser/AnalyserView.h"

namespace {

const char* const kPluginFolderName = "plug in #1\xC3\xA9";

}  // namespace

PluginFolder::PluginFolder(bool withGuide)
{
    char made[] = "/tmp/quillograph-test-XXXXXX";
    if (mkdtemp(made)) base = made;
    path = base + "/" + kPluginFolderName + "/";
    mkdir(path.c_str(), 0755);
    if (!withGuide) return;
    if (std::FILE* guide = std::fopen((path + AnalyserView::kUserGuide).c_str(), "wb")) {
        std::fputs("<!DOCTYPE html><title>Quillograph</title>", guide);
        std::fclose(guide);
    }
}

PluginFolder::~PluginFolder()
{
    std::remove((path + AnalyserView::kUserGuide).c_str());
    rmdir(path.c_str());
    rmdir(base.c_str());
}

std::string PluginFolder::GuideUrl() const { return "file://" + base + "/plug%20in%20%231%C3%A9/Quillograph.html"; }
