// The names the editor's windows carry, which hosts (and our tests) look for.
#pragma once

// The Win32 window class of every editor window of the module.
inline constexpr char kWindowClassName[] = "VireoWndClass";
// The title of an editor window inside the host's; a window of its own bears the plug-in's name.
inline constexpr char kChildWindowTitle[] = "Vireo";
