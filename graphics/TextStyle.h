// How text is drawn: face, cell height, colour, style, alignment and orientation.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "graphics/Colour.h"

enum TextWeightStyle : int32_t { TextNormal = 0, TextBold = 1, TextItalic = 2 };
enum TextAlign : int32_t { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };

struct TextStyle {
    std::string face = "Arial";
    int32_t size = 14;                 // font height as the system takes it: the cell height
    Colour colour = Colour(255, 0, 0, 0);
    int32_t style = TextNormal;
    int32_t align = AlignCentre;
    int32_t orientation = 0;           // degrees

    TextStyle() = default;
    TextStyle(std::string face, int32_t size, const Colour& colour, int32_t style, int32_t align,
              int32_t orientation)
        : face(std::move(face)), size(size), colour(colour), style(style), align(align),
          orientation(orientation) {}
};
