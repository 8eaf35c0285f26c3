#pragma once

#include <cstdint>

// The host's identity, derived from its vendor and product strings; 0 when unknown.
// Only id 1 changes what the plug-in does, in the ways the predicates below name.
int32_t IdentifyHost(const char* vendor, const char* product);

// The host shows the editor in a floating tool window of the plug-in's own.
inline bool FloatingEditorHost(int32_t hostId) { return hostId == 1; }
// The floating window is titled after the FX chain that holds the plug-in.
inline bool TitlesFloatingEditor(int32_t hostId) { return hostId == 1; }
// The state chunk starts with a window section: the floating window's place and title.
inline bool StoresWindowSection(int32_t hostId) { return hostId == 1; }
// The host's transport can be driven from the plug-in (commands to its main window).
inline bool HasTransportCommands(int32_t hostId) { return hostId == 1; }
