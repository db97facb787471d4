#include "airway_picture.h"

#include "raster.h"

#include <cmath>
#include <numbers>

using namespace vm::record;
using namespace vm::data;

namespace {

struct Segment {
    double x0, y0, x1, y1, width;
    int region;
};

struct Lung {
    double cx, cy, rx, ry;
};

constexpr Lung kLungs[] = {{170, 300, 125, 185}, {430, 300, 125, 185}};

constexpr Rgb kBackground{255, 255, 255};
constexpr Rgb kLungTissue{245, 215, 210};
constexpr Rgb kLungTissueHighlighted{255, 170, 120};
constexpr Rgb kLungOutline{150, 110, 110};
constexpr Rgb kAirway{90, 110, 160};
constexpr Rgb kAirwayHighlighted{220, 30, 30};

// Intermediate airways: from the end of a main bronchus to the lobe.
struct Branch {
    double x0, y0, x1, y1;
};
constexpr Branch kIntermediate[] = {
    {215, 215, 140, 235}, {215, 215, 160, 300}, {215, 215, 205, 370}, // three lobes
    {385, 215, 455, 245}, {385, 215, 410, 360},                       // two lobes
};

std::vector<Segment> airwayTree() {
    std::vector<Segment> tree = {
        {300, 30, 300, 160, 24, kRegionCentral},
        {300, 160, 215, 215, 18, kRegionCentral},
        {300, 160, 385, 215, 18, kRegionCentral},
    };
    for (const Branch& b : kIntermediate) {
        tree.push_back({b.x0, b.y0, b.x1, b.y1, 10, kRegionIntermediate});
        // Three small airways fan out from the end of each intermediate airway.
        const double direction = std::atan2(b.y1 - b.y0, b.x1 - b.x0);
        for (const double spread : {-0.6, 0.0, 0.6}) {
            const double angle = direction + spread;
            tree.push_back({b.x1, b.y1, b.x1 + 45 * std::cos(angle), b.y1 + 45 * std::sin(angle), 4,
                            kRegionPeripheral});
        }
    }
    return tree;
}

int percentOf(double pixels, int size) {
    return static_cast<int>(std::lround(100.0 * pixels / size));
}

} // namespace

DecodedPicture DrawAirwayPicture(int highlightedRegion) {
    DecodedPicture picture = BlankPicture(kAirwayPictureWidth, kAirwayPictureHeight, kBackground);
    const bool tissueHighlighted = highlightedRegion == kRegionParenchyma;
    for (const Lung& lung : kLungs) {
        FillEllipse(picture, lung.cx, lung.cy, lung.rx, lung.ry,
                    tissueHighlighted ? kLungTissueHighlighted : kLungTissue);
        DrawEllipseOutline(picture, lung.cx, lung.cy, lung.rx, lung.ry, 3, kLungOutline);
    }
    // Smaller airways first, so that the larger ones lie on top where they meet.
    for (const int region : {kRegionPeripheral, kRegionIntermediate, kRegionCentral}) {
        for (const Segment& s : airwayTree()) {
            if (s.region != region)
                continue;
            DrawThickLine(picture, s.x0, s.y0, s.x1, s.y1, s.width,
                          region == highlightedRegion ? kAirwayHighlighted : kAirway);
        }
    }
    return picture;
}

std::vector<Hotspot> AirwayHotspots() {
    const auto at = [](std::string label, double x, double y, int region) {
        return Hotspot{std::move(label), percentOf(x, kAirwayPictureWidth),
                       percentOf(y, kAirwayPictureHeight), region};
    };
    // Lung tissue first: where a point of tissue and an airway are both near, the airway, listed
    // later, wins.
    std::vector<Hotspot> hotspots = {
        at("Mi\xB9\xBFsz p\xB3uca", 90, 200, kRegionParenchyma),
        at("Mi\xB9\xBFsz p\xB3uca", 95, 330, kRegionParenchyma),
        at("Mi\xB9\xBFsz p\xB3uca", 120, 440, kRegionParenchyma),
        at("Mi\xB9\xBFsz p\xB3uca", 510, 200, kRegionParenchyma),
        at("Mi\xB9\xBFsz p\xB3uca", 505, 330, kRegionParenchyma),
        at("Mi\xB9\xBFsz p\xB3uca", 480, 440, kRegionParenchyma),
    };
    for (const Segment& s : airwayTree()) {
        if (s.region == kRegionPeripheral)
            hotspots.push_back(at("Drogi obwodowe", s.x1, s.y1, s.region));
    }
    for (const Segment& s : airwayTree()) {
        if (s.region == kRegionIntermediate)
            hotspots.push_back(
                at("Drogi po\x9Crednie", (s.x0 + s.x1) / 2, (s.y0 + s.y1) / 2, s.region));
    }
    hotspots.push_back(at("Tchawica", 300, 60, kRegionCentral));
    hotspots.push_back(at("Tchawica", 300, 120, kRegionCentral));
    hotspots.push_back(at("Oskrzele g\xB3\xF3wne prawe", 257, 188, kRegionCentral));
    hotspots.push_back(at("Oskrzele g\xB3\xF3wne lewe", 343, 188, kRegionCentral));
    return hotspots;
}

std::string ParameterTableText(const std::vector<Hotspot>& hotspots) {
    std::string text = "Punkt;x (%);y (%);Kod;Opis\r\n";
    for (const Hotspot& h : hotspots) {
        text += h.label + ";" + std::to_string(h.xPercent) + ";" + std::to_string(h.yPercent) +
                ";" + std::to_string(h.region) + ";\r\n";
    }
    return text;
}

DecodedPicture DrawBackgroundPicture() {
    DecodedPicture picture = BlankPicture(kAirwayPictureWidth, kAirwayPictureHeight, kBackground);
    FillVerticalGradient(picture, {236, 242, 250}, {200, 214, 232});
    for (const Lung& lung : kLungs)
        DrawEllipseOutline(picture, lung.cx, lung.cy, lung.rx + 12, lung.ry + 12, 2,
                           {180, 192, 210});
    DrawEllipseOutline(picture, 300, 300, 290, 230, 3, {170, 180, 200});
    return picture;
}
