#pragma once
// The provisional airway pictures and the hotspot table that goes with them: a drawn airway tree
// in two lungs, one picture per region code with that region highlighted.

#include "data/jpeg_picture.h"

#include <string>
#include <vector>

using namespace vm::data;

inline constexpr int kAirwayPictureWidth = 600;
inline constexpr int kAirwayPictureHeight = 500;

// Region codes of the hotspots.
inline constexpr int kRegionNone = 1;
inline constexpr int kRegionCentral = 2;
inline constexpr int kRegionIntermediate = 3;
inline constexpr int kRegionPeripheral = 4;
inline constexpr int kRegionParenchyma = 5;

struct Hotspot {
    std::string label; // Windows-1250 bytes
    int xPercent;
    int yPercent;
    int region;
};

// The picture with `highlightedRegion` (1..5; 1 highlights nothing) drawn in the warning colour.
DecodedPicture DrawAirwayPicture(int highlightedRegion);

// Points on the drawn regions, in percent of the picture.
std::vector<Hotspot> AirwayHotspots();

// The text of F000.dat: a header line, then one line per hotspot, CRLF line ends.
std::string ParameterTableText(const std::vector<Hotspot>& hotspots);

// The background of the lung animation: a soft gradient with a faint chest outline.
DecodedPicture DrawBackgroundPicture();
