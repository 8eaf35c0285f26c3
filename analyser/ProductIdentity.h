// Who the product is, the same in every format it is built as: the names hosts list it
// under, its version (the build's project version) and what it does.
#pragma once

#if !defined(QUILLOGRAPH_VERSION_MAJOR) || !defined(QUILLOGRAPH_VERSION_MINOR) || !defined(QUILLOGRAPH_VERSION_PATCH)
#error "the build defines the product's version (project(VERSION) in CMakeLists.txt)"
#endif

#define QUILLOGRAPH_TEXT_OF(x) #x
#define QUILLOGRAPH_TEXT(x) QUILLOGRAPH_TEXT_OF(x)

namespace ProductIdentity {

inline constexpr char kName[] = "Quillograph";
inline constexpr char kVendor[] = "Veksa";
inline constexpr char kDescription[] = "Real-time audio analyser: waveform, spectrum, stereo phase and spectrogram";
// Stable forever: hosts' projects refer to the plug-in by it.
inline constexpr char kClapId[] = "com.veksa.quillograph";

inline constexpr int kVersionMajor = QUILLOGRAPH_VERSION_MAJOR;
inline constexpr int kVersionMinor = QUILLOGRAPH_VERSION_MINOR;
inline constexpr int kVersionPatch = QUILLOGRAPH_VERSION_PATCH;
inline constexpr char kVersion[] = QUILLOGRAPH_TEXT(QUILLOGRAPH_VERSION_MAJOR) "." QUILLOGRAPH_TEXT(
    QUILLOGRAPH_VERSION_MINOR) "." QUILLOGRAPH_TEXT(QUILLOGRAPH_VERSION_PATCH);
// The VST 2 vendor version: 1.0.0 is 1000.
inline constexpr int kVstVersion = kVersionMajor * 1000 + kVersionMinor * 100 + kVersionPatch * 10;

}  // namespace ProductIdentity

#undef QUILLOGRAPH_TEXT
#undef QUILLOGRAPH_TEXT_OF
