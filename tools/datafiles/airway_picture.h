#pragma once
// The airway pictures and the hotspot table that goes with them: a schematic front view of the
// trachea, the bronchi and the two lungs with their five lobes, one picture per region code with
// that region marked.

#include "data/jpeg_picture.h"

#include <string>
#include <vector>

using namespace vm::data;

// The size of the picture area on the 1280 x 1024 design screen, so that the picture is not
// stretched there: 38 % of the window's client width by 55 % of the height its caption and menu
// bar leave.
inline constexpr int kAirwayPictureWidth = 486;
inline constexpr int kAirwayPictureHeight = 540;

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

// The picture with `markedRegion` (1..5; 1 marks nothing) drawn in the marking colour.
DecodedPicture drawAirwayPicture(int markedRegion);

// Points on the drawn regions, in percent of the picture; a later point wins where two are near.
std::vector<Hotspot> airwayHotspots();

// The text of F000.dat: a header line, then one line per hotspot, CRLF line ends.
std::string parameterTableText(const std::vector<Hotspot>& hotspots);
