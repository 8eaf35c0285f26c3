// The bundle's own identifiers: the plug-in, its editor and the key of its state blob.
#pragma once

#define kQuillographPluginUri "urn:veksa:quillograph"
#define kQuillographUiUri "urn:veksa:quillograph#ui"
#define kQuillographStateKey "urn:veksa:quillograph#chunk"
