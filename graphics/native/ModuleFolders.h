// Where the program and the plug-in's own module lie, on the native platforms: folders end
// with a slash, empty when unknown.
#pragma once

#include <string>

std::string ProgramFolder();
// The folder of the module (program or shared library) that holds this code.
std::string ModuleFolder();
