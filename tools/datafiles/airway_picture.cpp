#include "airway_picture.h"

#include "raster.h"

#include "data/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

using namespace vm::record;
using namespace vm::data;

namespace {

constexpr double kWidth = kAirwayPictureWidth;
constexpr double kHeight = kAirwayPictureHeight;

// Positions are given in percent of the picture, as the hotspot table takes them.
Point at(Point percent) {
    return {percent.x * kWidth / 100.0, percent.y * kHeight / 100.0};
}

std::vector<Point> atAll(std::initializer_list<Point> percentPoints) {
    std::vector<Point> points;
    for (const Point p : percentPoints)
        points.push_back(at(p));
    return points;
}

constexpr Rgb kBackgroundTop{250, 251, 253};
constexpr Rgb kBackgroundBottom{232, 238, 245};
constexpr Rgb kTissueOutline{192, 122, 122};
constexpr Rgb kFissure{200, 140, 138};
constexpr Rgb kAirway{172, 198, 228};
constexpr Rgb kAirwayOutline{78, 104, 146};
constexpr Rgb kRing{146, 176, 214};
constexpr Rgb kMarked{240, 112, 24};
constexpr Rgb kMarkedOutline{168, 64, 8};
constexpr Rgb kMarkedRing{222, 94, 14};

constexpr double kOutlineWidth = 2.5;
constexpr double kFissureWidth = 2.5;

// The patient's right lung is on the left of the picture.
const std::vector<Point> kRightLung = smoothClosedCurve(atAll({
    {29, 7},  {37, 9},  {42, 15}, {44, 26}, {44, 38}, {44, 50}, {45, 63},
    {46, 76}, {44, 84}, {36, 84}, {25, 86}, {14, 89}, {5, 93},  {3, 85},
    {3, 70},  {5, 50},  {9, 32},  {15, 18}, {21, 10},
}));
const std::vector<Point> kLeftLung = smoothClosedCurve(atAll({
    {71, 7},  {63, 9},  {58, 15}, {56, 26}, {56, 38}, {56, 50}, {57, 58},
    {61, 65}, {62, 72}, {60, 79}, {62, 84}, {69, 86}, {80, 86}, {89, 89},
    {96, 93}, {97, 85}, {97, 70}, {95, 50}, {91, 32}, {85, 18}, {79, 10},
}));

// Fissures run a little past the lung's edge and are clipped to it.
const std::vector<Point> kHorizontalFissure =
    smoothCurve(atAll({{48, 48}, {36, 47}, {20, 46}, {0, 45}}));
const std::vector<Point> kRightObliqueFissure =
    smoothCurve(atAll({{0, 51}, {12, 58}, {26, 65}, {38, 70}, {48, 73}}));
const std::vector<Point> kLeftObliqueFissure =
    smoothCurve(atAll({{100, 42}, {88, 52}, {76, 62}, {64, 70}, {54, 74}}));

// The area on one side of a fissure, closed round the top or the bottom of the picture.
std::vector<Point> closedOver(const std::vector<Point>& fissure, double y) {
    std::vector<Point> area = fissure;
    area.push_back({area.back().x, y});
    area.push_back({area.front().x, y});
    return area;
}
const std::vector<Point> kAboveHorizontalFissure = closedOver(kHorizontalFissure, -10);
const std::vector<Point> kBelowRightObliqueFissure = closedOver(kRightObliqueFissure, kHeight + 10);
const std::vector<Point> kBelowLeftObliqueFissure = closedOver(kLeftObliqueFissure, kHeight + 10);

struct Lobe {
    const char* name; // of the lobe's parenchyma, in the hotspot table
    Rgb tint;
};
enum LobeIndex { kRightUpper, kMiddle, kRightLower, kLeftUpper, kLeftLower, kLobes };
constexpr Lobe kLobe[kLobes] = {
    {"Miąższ płata górnego prawego", {249, 221, 214}},
    {"Miąższ płata środkowego", {245, 208, 202}},
    {"Miąższ płata dolnego prawego", {241, 197, 193}},
    {"Miąższ płata górnego lewego", {249, 221, 214}},
    {"Miąższ płata dolnego lewego", {241, 197, 193}},
};

std::optional<LobeIndex> lobeAt(Point p) {
    if (isInside(kRightLung, p)) {
        if (isInside(kAboveHorizontalFissure, p))
            return kRightUpper;
        return isInside(kBelowRightObliqueFissure, p) ? kRightLower : kMiddle;
    }
    if (isInside(kLeftLung, p))
        return isInside(kBelowLeftObliqueFissure, p) ? kLeftLower : kLeftUpper;
    return std::nullopt;
}

std::vector<Point> closed(const std::vector<Point>& outline) {
    std::vector<Point> loop = outline;
    loop.push_back(outline.front());
    return loop;
}

void drawLungs(Canvas& canvas, bool marked) {
    const auto tint = [marked](LobeIndex lobe) { return marked ? kMarked : kLobe[lobe].tint; };
    canvas.fillPolygon(kRightLung, tint(kMiddle));
    canvas.fillPolygon(kAboveHorizontalFissure, tint(kRightUpper), kRightLung);
    canvas.fillPolygon(kBelowRightObliqueFissure, tint(kRightLower), kRightLung);
    canvas.fillPolygon(kLeftLung, tint(kLeftUpper));
    canvas.fillPolygon(kBelowLeftObliqueFissure, tint(kLeftLower), kLeftLung);

    const Rgb fissure = marked ? kMarkedOutline : kFissure;
    canvas.strokePolyline(kHorizontalFissure, kFissureWidth, fissure, kRightLung);
    canvas.strokePolyline(kRightObliqueFissure, kFissureWidth, fissure, kRightLung);
    canvas.strokePolyline(kLeftObliqueFissure, kFissureWidth, fissure, kLeftLung);
    const Rgb outline = marked ? kMarkedOutline : kTissueOutline;
    canvas.strokePolyline(closed(kRightLung), kOutlineWidth, outline);
    canvas.strokePolyline(closed(kLeftLung), kOutlineWidth, outline);
}

// A tube of the airway tree through points given in percent; drawn along a smooth curve whose
// width changes evenly from start to end.
struct Tube {
    const char* name;
    std::vector<Point> path; // percent
    double startWidth, endWidth;
    int region;
    bool endsInSac = false;
};

struct DrawnTube {
    const Tube* tube;
    std::vector<Point> axis;    // pixels
    std::vector<double> radius; // at each point of the axis
};

DrawnTube drawn(const Tube& tube) {
    std::vector<Point> pixels;
    for (const Point p : tube.path)
        pixels.push_back(at(p));
    DrawnTube d{&tube, pixels.size() > 2 ? smoothCurve(pixels, 10) : pixels, {}};
    std::vector<double> along{0};
    for (std::size_t i = 1; i < d.axis.size(); ++i)
        along.push_back(along.back() +
                        std::hypot(d.axis[i].x - d.axis[i - 1].x, d.axis[i].y - d.axis[i - 1].y));
    for (const double s : along)
        d.radius.push_back(
            (tube.startWidth + (tube.endWidth - tube.startWidth) * s / along.back()) / 2);
    return d;
}

// How far p lies inside the tube's fill (negative: outside).
double depthInside(const DrawnTube& d, Point p) {
    double depth = -INFINITY;
    for (std::size_t i = 0; i + 1 < d.axis.size(); ++i) {
        const double distance = distanceToSegment(p, d.axis[i], d.axis[i + 1]);
        depth = std::max(depth, (d.radius[i] + d.radius[i + 1]) / 2 - distance);
    }
    return depth;
}

// A lobe's small airways: three branches fanning out from the end of its lobar airway, each
// forking in two and ending in an air sac.
struct Fan {
    const char* name;
    Point start;      // percent
    double direction; // degrees, counter-clockwise from the right
    double length;    // of the first branches, pixels
    double spread;    // degrees between neighbouring first branches
};

constexpr Fan kFans[kLobes] = {
    {"Drogi obwodowe płata górnego prawego", {29, 29}, 125, 40, 40},
    {"Drogi obwodowe płata środkowego", {28, 55}, 170, 30, 27},
    {"Drogi obwodowe płata dolnego prawego", {29, 70}, 225, 36, 36},
    {"Drogi obwodowe płata górnego lewego", {72, 30}, 55, 40, 40},
    {"Drogi obwodowe płata dolnego lewego", {71, 71}, -55, 38, 38},
};
constexpr double kSacRadius = 5;

Point towards(Point from, double degrees, double length) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {from.x + length * std::cos(a), from.y - length * std::sin(a)};
}

// Rounded to whole percent, so that a hotspot can be put on the point itself.
Point wholePercent(Point pixels) {
    return {std::round(100.0 * pixels.x / kWidth), std::round(100.0 * pixels.y / kHeight)};
}

std::vector<Tube> fanTubes(const Fan& fan) {
    std::vector<Tube> tubes;
    for (int i = -1; i <= 1; ++i) {
        const double direction = fan.direction + i * fan.spread;
        const Point fork = wholePercent(towards(at(fan.start), direction, fan.length));
        tubes.push_back({fan.name, {fan.start, fork}, 8, 6, kRegionPeripheral});
        for (int j = -1; j <= 1; j += 2) {
            const Point end =
                wholePercent(towards(at(fork), direction + j * 24, fan.length * 0.62));
            tubes.push_back({fan.name, {fork, end}, 6, 5, kRegionPeripheral, true});
        }
    }
    return tubes;
}

// In drawing order: the smaller airways first, so that the larger ones lie on top where they meet.
const std::vector<Tube>& airwayTree() {
    static const std::vector<Tube> tree = [] {
        std::vector<Tube> tubes;
        for (const Fan& fan : kFans) {
            const std::vector<Tube> fanned = fanTubes(fan);
            tubes.insert(tubes.end(), fanned.begin(), fanned.end());
        }
        const auto lobar = [](const char* name, std::vector<Point> path) {
            return Tube{name, std::move(path), 13, 10, kRegionIntermediate};
        };
        tubes.push_back(lobar("Oskrzele płata górnego prawego", {{42, 44}, {36, 36}, {29, 29}}));
        tubes.push_back(lobar("Oskrzele płata środkowego", {{38, 53}, {33, 55}, {28, 55}}));
        tubes.push_back(lobar("Oskrzele płata dolnego prawego", {{38, 53}, {35, 62}, {29, 70}}));
        tubes.push_back(lobar("Oskrzele płata górnego lewego", {{62, 47}, {67, 38}, {72, 30}}));
        tubes.push_back(lobar("Oskrzele płata dolnego lewego", {{64, 51}, {67, 62}, {71, 71}}));
        // The trachea runs on above the picture.
        tubes.push_back({"Tchawica", {{50, -3}, {50, 35}}, 32, 30, kRegionCentral});
        tubes.push_back(
            {"Oskrzele główne prawe", {{50, 35}, {41, 46}, {38, 53}}, 25, 16, kRegionCentral});
        tubes.push_back(
            {"Oskrzele główne lewe", {{50, 35}, {61, 46}, {64, 51}}, 23, 15, kRegionCentral});
        return tubes;
    }();
    return tree;
}

std::vector<DrawnTube> drawnTree() {
    std::vector<DrawnTube> tree;
    for (const Tube& tube : airwayTree())
        tree.push_back(drawn(tube));
    return tree;
}

// The air sacs at the end of a small airway.
std::vector<Point> sacsOf(const DrawnTube& d) {
    if (!d.tube->endsInSac)
        return {};
    return {d.axis.back()};
}

void fillTube(Canvas& canvas, const DrawnTube& d, double extra, Rgb colour) {
    for (std::size_t i = 0; i + 1 < d.axis.size(); ++i)
        canvas.fillTaperedStroke(d.axis[i], d.axis[i + 1], 2 * d.radius[i] + extra,
                                 2 * d.radius[i + 1] + extra, colour);
    for (const Point sac : sacsOf(d))
        canvas.fillCircle(sac, kSacRadius + extra / 2, colour);
}

// The cartilage rings of the trachea, as soft arcs across it.
void drawTracheaRings(Canvas& canvas, Rgb colour) {
    const Point top = at({50, 0});
    const double bottom = at({50, 31}).y;
    for (double y = top.y + 9; y < bottom; y += 15) {
        const std::vector<Point> ring =
            smoothCurve(std::vector<Point>{{top.x - 10, y}, {top.x, y + 3}, {top.x + 10, y}}, 6);
        canvas.strokePolyline(ring, 2.5, colour);
    }
}

void drawAirways(Canvas& canvas, int markedRegion) {
    const std::vector<DrawnTube> tree = drawnTree();
    // All outlines first, so that where two tubes meet their fills run into each other.
    for (const DrawnTube& d : tree)
        fillTube(canvas, d, 2 * kOutlineWidth,
                 d.tube->region == markedRegion ? kMarkedOutline : kAirwayOutline);
    for (const DrawnTube& d : tree)
        fillTube(canvas, d, 0, d.tube->region == markedRegion ? kMarked : kAirway);
    drawTracheaRings(canvas, markedRegion == kRegionCentral ? kMarkedRing : kRing);
}

// Polish labels are written in UTF-8 here and stored in Windows-1250, through the program's own
// table of that code page. Every letter of the labels takes one or two bytes of UTF-8.
std::string windows1250(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += utf8[i++];
            continue;
        }
        const char32_t letter =
            (lead & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        i += 2;
        char byte = '?';
        for (int b = 0x80; b <= 0xFF; ++b)
            if (windows1250CodePoint(static_cast<unsigned char>(b)) == letter)
                byte = static_cast<char>(b);
        out += byte;
    }
    return out;
}

// A hotspot's centre must lie clearly inside its drawing: the program and a reader of the
// picture may take the pixel on either side of the exact point.
constexpr double kCentreSlack = 1.5;
// Clear space between a hotspot on lung tissue and any line drawn over the tissue.
constexpr double kTissueMargin = 4;

bool insidePicture(Point percent) {
    return percent.x >= 0 && percent.y >= 0 && at(percent).x + kCentreSlack < kWidth &&
           at(percent).y + kCentreSlack < kHeight;
}

// Whether the point (pixels) shows the fill of tube `index` of the tree, clear of every tube
// drawn over it.
bool showsTube(const std::vector<DrawnTube>& tree, std::size_t index, Point p) {
    const double needed = std::min(2.5, 0.5 * tree[index].radius.back()) + kCentreSlack;
    double depth = depthInside(tree[index], p);
    for (const Point sac : sacsOf(tree[index]))
        depth = std::max(depth, kSacRadius - std::hypot(p.x - sac.x, p.y - sac.y));
    if (depth < needed)
        return false;
    for (std::size_t later = index + 1; later < tree.size(); ++later) {
        if (tree[later].tube->region != tree[index].tube->region &&
            depthInside(tree[later], p) > -(kOutlineWidth + kCentreSlack))
            return false;
    }
    return true;
}

std::optional<LobeIndex> tissueAt(const std::vector<DrawnTube>& tree, Point p) {
    const std::optional<LobeIndex> lobe = lobeAt(p);
    if (!lobe)
        return std::nullopt;
    const double clear = kTissueMargin + kCentreSlack;
    for (const auto* line : {&kHorizontalFissure, &kRightObliqueFissure, &kLeftObliqueFissure})
        if (distanceToPolyline(*line, p) < clear + kFissureWidth / 2)
            return std::nullopt;
    for (const auto* lung : {&kRightLung, &kLeftLung})
        if (distanceToPolyline(closed(*lung), p) < clear + kOutlineWidth / 2)
            return std::nullopt;
    for (const DrawnTube& d : tree) {
        if (depthInside(d, p) > -(clear + kOutlineWidth))
            return std::nullopt;
        for (const Point sac : sacsOf(d))
            if (std::hypot(p.x - sac.x, p.y - sac.y) < kSacRadius + kOutlineWidth + clear)
                return std::nullopt;
    }
    return lobe;
}

// The whole-percent point nearest to `wanted` (within `reach` percent each way) that `fits`.
template <typename Fits> std::optional<Point> nearestFitting(Point wanted, int reach, Fits fits) {
    std::optional<Point> best;
    double bestDistance = INFINITY;
    const double x0 = std::round(wanted.x);
    const double y0 = std::round(wanted.y);
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const Point p{x0 + dx, y0 + dy};
            const double distance = std::hypot(at(p).x - at(wanted).x, at(p).y - at(wanted).y);
            if (distance < bestDistance && fits(p)) {
                best = p;
                bestDistance = distance;
            }
        }
    }
    return best;
}

// A hotspot answers within 4 whole percent of its centre each way; closer steps leave no gaps.
constexpr double kStepPercent = 8;

} // namespace

DecodedPicture drawAirwayPicture(int markedRegion) {
    Canvas canvas(kAirwayPictureWidth, kAirwayPictureHeight, kBackgroundTop);
    canvas.fillVerticalGradient(kBackgroundTop, kBackgroundBottom);
    drawLungs(canvas, markedRegion == kRegionParenchyma);
    drawAirways(canvas, markedRegion);
    return canvas.finish();
}

std::vector<Hotspot> airwayHotspots() {
    std::vector<Hotspot> hotspots;
    const auto add = [&](const char* name, Point p, int region) {
        const bool seen = std::any_of(hotspots.begin(), hotspots.end(), [&](const Hotspot& h) {
            return h.xPercent == p.x && h.yPercent == p.y;
        });
        if (!seen)
            hotspots.push_back(
                {windows1250(name), static_cast<int>(p.x), static_cast<int>(p.y), region});
    };
    const std::vector<DrawnTube> tree = drawnTree();

    // Lung tissue on a grid first: the airways drawn over it, listed later, win where both are
    // near.
    for (double y = 4; y <= 96; y += kStepPercent) {
        for (double x = 2; x <= 98; x += kStepPercent) {
            const auto fits = [&](Point p) {
                return insidePicture(p) && tissueAt(tree, at(p)).has_value();
            };
            if (const std::optional<Point> p = nearestFitting({x, y}, 3, fits))
                add(kLobe[*tissueAt(tree, at(*p))].name, *p, kRegionParenchyma);
        }
    }
    // Along each tube, larger airways before smaller ones: the smaller an airway, the harder it is
    // to point at, so it wins where two are near.
    for (const int region : {kRegionCentral, kRegionIntermediate, kRegionPeripheral}) {
        for (std::size_t i = 0; i < tree.size(); ++i) {
            if (tree[i].tube->region != region)
                continue;
            const std::vector<Point>& path = tree[i].tube->path;
            for (std::size_t k = 0; k + 1 < path.size(); ++k) {
                const Point a = path[k];
                const Point b = path[k + 1];
                const int steps = std::max(
                    1, static_cast<int>(std::ceil(
                           std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y)) / kStepPercent)));
                for (int s = (k == 0 ? 0 : 1); s <= steps; ++s) {
                    const double t = static_cast<double>(s) / steps;
                    const Point wanted{std::clamp(a.x + (b.x - a.x) * t, 0.0, 100.0),
                                       std::clamp(a.y + (b.y - a.y) * t, 0.0, 100.0)};
                    const auto fits = [&](Point p) {
                        return insidePicture(p) && showsTube(tree, i, at(p));
                    };
                    if (const std::optional<Point> p = nearestFitting(wanted, 1, fits))
                        add(tree[i].tube->name, *p, region);
                }
            }
        }
    }
    return hotspots;
}

std::string parameterTableText(const std::vector<Hotspot>& hotspots) {
    std::string text = windows1250("Punkt;x (%);y (%);Kod;Opis\r\n");
    for (const Hotspot& h : hotspots) {
        text += h.label + ";" + std::to_string(h.xPercent) + ";" + std::to_string(h.yPercent) +
                ";" + std::to_string(h.region) + ";\r\n";
    }
    return text;
}
