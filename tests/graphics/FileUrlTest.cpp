#include <gtest/gtest.h>

#include "graphics/FileUrl.h"

// Addresses a browser or the shell opens as the file named: separators and drive letters in
// URL form, characters with a meaning in URLs escaped.
TEST(FileUrl, AbsolutePathsOfEitherSystem)
{
    EXPECT_EQ(FileUrl("/usr/lib/lv2/quillograph.lv2/Quillograph.html"),
              "file:///usr/lib/lv2/quillograph.lv2/Quillograph.html");
    EXPECT_EQ(FileUrl("/home/j\xC3\xB6rg/a b#1?%/x~(y).html"), "file:///home/j%C3%B6rg/a%20b%231%3F%25/x~(y).html");
    EXPECT_EQ(FileUrl("/odd\\name\"<>"), "file:///odd%5Cname%22%3C%3E");
    EXPECT_EQ(FileUrl("C:\\Program Files (x86)\\VST #2\\Quillograph.html"),
              "file:///C:/Program%20Files%20(x86)/VST%20%232/Quillograph.html");
    EXPECT_EQ(FileUrl("d:/plug-ins/Quillograph.html"), "file:///d:/plug-ins/Quillograph.html");
    // Windows paths are in the ANSI code page: those bytes are passed on as they are.
    EXPECT_EQ(FileUrl("C:\\J\xF6rg\\Quillograph.html"), "file:///C:/J\xF6rg/Quillograph.html");
    EXPECT_EQ(FileUrl("\\\\studio\\plug ins\\Quillograph.html"), "file://studio/plug%20ins/Quillograph.html");
    EXPECT_EQ(FileUrl("\\\\?\\C:\\VST\\Quillograph.html"), "file:///C:/VST/Quillograph.html");
    EXPECT_EQ(FileUrl("\\\\?\\UNC\\studio\\VST\\Quillograph.html"), "file://studio/VST/Quillograph.html");
    // Nothing to say where a relative path is.
    EXPECT_EQ(FileUrl("Quillograph.html"), "");
    EXPECT_EQ(FileUrl("C:Quillograph.html"), "");
    EXPECT_EQ(FileUrl(""), "");
}
