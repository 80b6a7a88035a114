// Where everything of the orientation preview goes, in pixels of its 220 × 160 drawing
// (x to the right, y downwards). The widget only paints what these functions place.
#pragma once

#include <string>
#include <vector>

#include "model/parameter_record.h"

inline constexpr int kPreviewWidth = 220;
inline constexpr int kPreviewHeight = 160;
inline constexpr int kPreviewCentre = 80;        // centre of the projection circle, x and y
inline constexpr int kPreviewRadius = 75;        // the directions at 90° to the plate normal
inline constexpr int kPreviewMarkSide = 6;       // axis marks and legend squares
inline constexpr int kPreviewLegendX = 170;      // left edge of the legend squares
inline constexpr int kPreviewLegendTextGap = 5;  // between a legend square and its text

enum class PreviewColour { kBlack, kWhite, kGreen, kYellow, kOrange, kRed, kLightBlue };

struct Rgb {
    double red;
    double green;
    double blue;
};

// The colour's red, green and blue fractions.
Rgb preview_rgb(PreviewColour colour);

// A filled square of side kPreviewMarkSide; left, top is its upper-left corner, so it covers
// the pixels left .. left + side - 1 and is centred on (left + side/2, top + side/2).
struct PreviewSquare {
    PreviewColour colour;
    int left;
    int top;
};

// The mark of the direction (theta, phi) in degrees, φ = 0 to the right and 90° upwards.
PreviewSquare preview_axis_mark(PreviewColour colour, float theta, float phi, int projection_kind);

// The marks in painting order: C for a uniaxial crystal; A, B, X, Z, Y for a biaxial one
// (a later mark covers an earlier one).
std::vector<PreviewSquare> preview_axis_marks(const ParameterRecord& record);

struct PreviewLegendEntry {
    PreviewSquare square;
    int text_x;         // left end of the text
    int text_baseline;  // the square's bottom edge
    std::string text;
};

std::vector<PreviewLegendEntry> preview_legend(int axis_type);
