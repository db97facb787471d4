// The model's figures the help texts quote, held to the model: each quoted passage of a shipped
// help file with its figures marked as the case library marks them, read from a case's file or a
// run of the session with the settings the passage speaks of, for the help's example woman unless
// it names another patient. A passage the help no longer holds fails too, so that a rewritten
// text keeps its figures under test.

#include "flow_volume_probe.h"
#include "data/rtf_document.h"
#include "session/case_figures.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vm::session;
using namespace vm::record;

namespace {

const std::filesystem::path kExeDir = VM_RUNTIME_DIR;

// A figure no index gives, read from the session: it stands in a passage as {*|SHOWN}.
using Measure = std::function<double(const Session&)>;

struct HelpFigures {
    std::string_view file;
    std::string_view source;  // a case's id, or "run:" and the settings ("run:rIntermediate=200")
    std::string_view quoted;  // the passage with its figures marked
    Measure measure = {};     // for its {*|…}
    std::string_view patient = {}; // "female,25,165"; else the case's or the default patient
};

// --- Figures no index gives ---

double readingOf(const Session& s, std::size_t index, double PredictedIndex::*member, int row = 0) {
    return s.readResult(row).indices[index].*member;
}
const Measure kRatioLlnFraction = [](const Session& s) {
    return readingOf(s, 2, &PredictedIndex::lln) / 100.0;
};
const Measure kRatioPredictedFraction = [](const Session& s) {
    return readingOf(s, 2, &PredictedIndex::predicted) / 100.0;
};
const Measure kResultRatioFraction = [](const Session& s) {
    return readingOf(s, 2, &PredictedIndex::measured, 1) / 100.0;
};
const Measure kFrcPercentOfTlc = [](const Session& s) {
    return 100.0 * s.record().field(0, RowField::frc) / s.record().field(0, RowField::tlc);
};
// The reading's FEV1 from time zero less the table's from the start of the effort, in ml.
const Measure kFev1TimingMl = [](const Session& s) {
    return 1000.0 * (s.curveIndices(0).fev1_l.value - s.record().field(0, RowField::fev1));
};
const Measure kHalfFvcexOfRow1 = [](const Session& s) {
    return 0.5 * s.record().field(1, RowField::fvcex);
};
// The reference's flow at the lung volume of row 1's MEF50.
const Measure kReferenceFlowAtRow1Mef50 = [](const Session& s) {
    const double volume = vm::test::lowestVolume(s.record(), 1) +
                          0.5 * s.record().field(1, RowField::fvcex);
    return vm::test::flowAtVolume(s.record(), referenceRow, volume);
};
// A straight line from the reference's peak flow to the end of its blow, at half its FVC.
const Measure kStraightLineAtHalfFvc = [](const Session& s) {
    const auto blow = vm::model::forcedExpirationOf(s.record(), referenceRow);
    const double fvc = blow->exhaledVolume_l();
    return blow->peakFlow_lps * (fvc / 2) / (fvc - blow->peakExhaled_l);
};
Measure peakInspiratoryFlow(int row) {
    return [row](const Session& s) {
        const auto blow = vm::model::forcedExpirationOf(s.record(), row);
        double peak = 0.0;
        for (int n = 1; n <= blow->startSample; ++n)
            peak = std::max<double>(peak, s.record().fvFlow(row, n));
        return peak;
    };
}
// Past row 1's peak flow: its first trough, and the next crest (expiratory flows, positive).
double pastThePeak(const Session& s, bool crest) {
    const SimulationRecord& r = s.record();
    const auto blow = vm::model::forcedExpirationOf(r, 1);
    int n = blow->peakSample;
    while (n < blow->lastSample && -r.fvFlow(1, n + 1) <= -r.fvFlow(1, n))
        ++n;
    while (crest && n < blow->lastSample && -r.fvFlow(1, n + 1) >= -r.fvFlow(1, n))
        ++n;
    return -r.fvFlow(1, n);
}
const Measure kTroughPastThePeak = [](const Session& s) { return pastThePeak(s, false); };
const Measure kCrestPastThePeak = [](const Session& s) { return pastThePeak(s, true); };

// clang-format off
const std::vector<HelpFigures> kHelpFigures = {
    // General help.
    {"H0000.rtf", "run:", "FEV1 {0.fev1.value|2,84} l, FVC {0.fvc.value|3,42} l, TLC {0.tlc.value|5,30} l"},
    {"H0000.rtf", "run:", "odpowiada FEV1 {0.fev1.predicted|2,97} l, FVC {0.fvc.predicted|3,58} l i FEV1/FVC {*|0,83}", kRatioPredictedFraction},
    {"H0000.rtf", "run:", "po wydmuchaniu połowy FVC przepływ wynosi {0.mef50.value|3,5} l/s, podczas gdy prosta poprowadzona od szczytu do końca wydechu dawałaby tam {*|5,3} l/s", kStraightLineAtHalfFvc},
    {"H0000.rtf", "astma_oskrzelowa", "(800%) spada z {1.pef.value|3,8} do {*|1,5} l/s", kTroughPastThePeak},
    {"H0000.rtf", "astma_oskrzelowa", "wraca do {*|2,3} l/s i dopiero potem powoli maleje", kCrestPastThePeak},
    {"H0000.rtf", "astma_oskrzelowa", "(800%) VC wynosi {1.slowVc.value|3,14} l, a FVC {1.fvc.value|3,38} l"},
    {"H0000.rtf", "run:rIntermediate=200", "Przy 200% FEV1 wynosi {1.fev1.ref|86}% referencji, a FEV1%FVC {1.fev1PctFvc.value|71}%"},
    {"H0000.rtf", "run:rIntermediate=800", "przy 800% FEV1 wynosi {1.fev1.ref|51}% referencji. Dla kobiety w wieku 40 lat o wzroście 165 cm (zob. wyżej) to FEV1 {1.fev1.measured|1,49} l, z-score {1.fev1.z|−3,25}"},
    {"H0000.rtf", "run:rIntermediate=1600", "wydech trwa {1.fet.value|21} s, FEV1 spada do {1.fev1.ref|36}% wartości referencyjnej"},
    {"H0000.rtf", "zwezenie_tchawicy", "PEF spada do {1.pef.value|3,6} l/s ({1.pef.ref|42}% referencji)"},
    {"H0000.rtf", "zwezenie_tchawicy", "największy przepływ wdechowy wynosi {*|2,2} l/s", peakInspiratoryFlow(1)},
    {"H0000.rtf", "zwezenie_tchawicy", "wobec {*|4,1} l/s w referencji", peakInspiratoryFlow(0)},
    {"H0000.rtf", "zwezenie_tchawicy", "FEV1 maleje tylko do {1.fev1.ref|93}% referencji, a FEV1%FVC pozostaje prawie prawidłowy ({1.fev1PctFvc.value|77}%). Wskaźnik Empeya wynosi {1.empeyIndex.value|12,1} (w referencji {0.empeyIndex.value|5,5})."},
    {"H0000.rtf", "astma_oskrzelowa", "FEV1%FVC spada do {3.fev1PctFvc.value|63}, {2.fev1PctFvc.value|52} i {1.fev1PctFvc.value|42}%, a wydech wydłuża się do {1.fet.value|14} s."},
    {"H0000.rtf", "rozedma_pluc", "FEV1%FVC spada do {1.fev1PctFvc.value|44}%, MEF25 do {1.mef25.ref|11}% referencji, FET przekracza {1.fet.value|20} s."},
    {"H0000.rtf", "rozedma_pluc", "RV (wartość modelu) rośnie z {0.rv.value|1,88} do {1.rv.value|2,76} l, a RV/TLC z {0.rvPctTlc.value|35} do {1.rvPctTlc.value|48}%. TLC rośnie tylko do {1.tlc.ref|109}% referencji"},
    {"H0000.rtf", "run:stiffness=300", "nastawa sztywności zostaje i FEV1 wynosi nadal {1.fev1.ref|70}% referencji"},
    {"H0000.rtf", "wloknienie_pluc", "FVCEX spada do {1.fvcex.value|1,61} l ({1.fvcex.ref|47}%), TLC do {1.tlc.value|2,63} l, a FEV1%FVC rośnie do {1.fev1PctFvc.value|98}%, bo płuca opróżniają się w {1.fet.value|1,6} s."},
    {"H0000.rtf", "zwezenie_prawego_oskrzela", "PEF spada do {1.pef.value|6,6} l/s ({1.pef.ref|77}%)"},
    {"H0000.rtf", "zwezenie_prawego_oskrzela", "PEF zostaje na {1.pef.ref|77}%."},
    {"H0000.rtf", "slaby_wysilek", "(PEF {1.pef.value|5,6} l/s, {1.pef.ref|65}%)"},
    {"H0000.rtf", "slaby_wysilek", "FVCEX spada do {1.fvcex.value|2,92} l, ERV do {1.erv.value|0,60} l, FET do {1.fet.value|1,8} s. FEV1 prawie się nie zmienia ({1.fev1.value|2,73} l)"},
    {"H0000.rtf", "slaby_wysilek", "MEF50 ({1.mef50.ref|125}%) i MEF25 ({1.mef25.ref|158}%)"},
    {"H0000.rtf", "slaby_wysilek", "po wydmuchaniu {*|1,46} l", kHalfFvcexOfRow1},
    {"H0000.rtf", "slaby_wysilek", "słaba próba i referencja mają po {1.mef50.value|4,40} l/s"},
    {"H0000.rtf", "slaby_wysilek", "słaba próba i referencja mają po {*|4,40} l/s", kReferenceFlowAtRow1Mef50},
    {"H0000.rtf", "slaby_wysilek", "dwie największe FVC różnią się o {3-2.fvc.measured|0,17} l"},
    {"H0000.rtf", "run:global.1=20", "PEF po resecie zostaje na {1.pef.ref|71}% referencji"},
    // Central airways.
    {"H0001.rtf", "zwezenie_tchawicy", "MEF50 maleje mniej (przy 800% do {1.mef50.ref|84}% referencji)"},
    {"H0001.rtf", "zwezenie_tchawicy", "Przy 800% PEF spada w modelu do {1.pef.ref|42}% referencji, a FEV1 tylko do {1.fev1.ref|93}%."},
    {"H0001.rtf", "zwezenie_tchawicy", "wynosi wtedy {1.empeyIndex.value|12,1} (w referencji {0.empeyIndex.value|5,5})"},
    {"H0001.rtf", "zwezenie_tchawicy", "wdechowy spada z {*|4,1} do", peakInspiratoryFlow(0)},
    {"H0001.rtf", "zwezenie_tchawicy", "do {*|2,2} l/s. Stosunek FEF50/FIF50 wynosi wtedy {1.fef50ToFif50.value|1,37} (w referencji {0.fef50ToFif50.value|0,87})", peakInspiratoryFlow(1)},
    {"H0001.rtf", "zwezenie_prawego_oskrzela", "stępiony jest tylko szczyt: PEF spada do {1.pef.ref|77}%"},
    {"H0001.rtf", "run:vdc=250", "(MEF75 do {1.mef75.ref|116}% referencji), TLC i FVC zwiększają się o {1-0.tlc.value|0,06} l, a FRC o {1-0.frc.value|0,02} l"},
    {"H0001.rtf", "run:vdc=250", "TLC i FVC zwiększają się o {1-0.fvcex.value|0,06} l"},
    // Intermediate airways.
    {"H0002.rtf", "slaby_wysilek", "w przypadku slaby_wysilek MEF50 wynosi {1.mef50.ref|125}%, a MEF25 {1.mef25.ref|158}% referencji"},
    {"H0002.rtf", "slaby_wysilek", "po wydmuchaniu {*|1,46} l słaba próba i referencja mają po", kHalfFvcexOfRow1},
    {"H0002.rtf", "slaby_wysilek", "referencja mają po {*|4,40} l/s", kReferenceFlowAtRow1Mef50},
    {"H0002.rtf", "slaby_wysilek", "referencja mają po {1.mef50.value|4,40} l/s"},
    {"H0002.rtf", "run:rIntermediate=200", "przy 200% FEV1 wynosi {1.fev1.ref|86}% referencji, a FEV1%FVC {1.fev1PctFvc.value|71}%"},
    {"H0002.rtf", "run:rIntermediate=800", "przy 800% FEV1 wynosi {1.fev1.ref|51}% referencji, a FEV1%FVC {1.fev1PctFvc.value|42}%"},
    {"H0002.rtf", "run:rIntermediate=800", "(przy 800% do {1.fet.value|14} s)"},
    {"H0002.rtf", "run:", "DGN FEV1/FVC wynosi {*|0,76} w wieku 25 lat", kRatioLlnFraction, "female,25,165"},
    {"H0002.rtf", "run:", "{*|0,72} w wieku 40 lat", kRatioLlnFraction},
    {"H0002.rtf", "run:", "i {*|0,66} w wieku 70 lat", kRatioLlnFraction, "female,70,165"},
    {"H0002.rtf", "run:rIntermediate=200", "przy 200% FEV1/FVC ({*|0,71}) leży poniżej DGN", kResultRatioFraction},
    {"H0002.rtf", "run:rIntermediate=200", "leży poniżej DGN ({*|0,72})", kRatioLlnFraction},
    {"H0002.rtf", "run:rIntermediate=200", "FEV1 ({1.fev1.measured|2,54} l, z-score {1.fev1.z|−0,99})"},
    {"H0002.rtf", "run:rIntermediate=800", "przy 800% FEV1 ({1.fev1.measured|1,49} l) to z-score {1.fev1.z|−3,25}"},
    {"H0002.rtf", "run:rIntermediate=1600", "(FEV1 {1.fev1.measured|1,04} l, z-score {1.fev1.z|−4,13})"},
    {"H0002.rtf", "odwracalnosc_obturacji", "z 500% do 300% FEV1 w tabeli rośnie z {3.fev1.value|1,77} do {2.fev1.value|2,15} l, czyli o {2-3.fev1.ref|13}% wartości referencyjnej, a więc i o {2-3.fev1.percentPredicted|13}% wartości należnej pacjenta"},
    // Peripheral airways.
    {"H0003.rtf", "run:rPeripheral=400", "(przy 400% PEF wynosi {1.pef.ref|85}%, a MEF25 {1.mef25.ref|46}% referencji)"},
    {"H0003.rtf", "slaby_wysilek", "zwiększa MEF25 do {1.mef25.ref|158}% referencji"},
    {"H0003.rtf", "run:ccc=250", "(przy 250% MEF25 wynosi {1.mef25.ref|69}% referencji, a FET {1.fet.value|4,6} s)"},
    {"H0003.rtf", "run:", "(wartość modelu, w referencji {0.rv.value|1,88} l)"},
    // The lungs.
    {"H0004.rtf", "run:", "w referencji modelu {0.frc.value|2,98} l, czyli {*|56}% TLC", kFrcPercentOfTlc},
    {"H0004.rtf", "run:lungSize=50", "(w modelu przy 50% {1.fev1PctFvc.value|88}%,"},
    {"H0004.rtf", "run:lungSize=150", "przy 150% {1.fev1PctFvc.value|74}%)"},
    {"H0004.rtf", "run:cm=50", "(w modelu przy 50% {1.fev1PctFvc.value|100}%)"},
    {"H0004.rtf", "run:cm=150", "(przy 150% do {1.fvc.ref|112}% referencji)"},
    // The results table.
    {"H0006.rtf", "run:", "W referencji obie wartości różnią się o około {*|10} ml ({0.fev1.value|2,84} i {0.fev1FromTimeZero.value|2,85} l)", kFev1TimingMl},
    {"H0006.rtf", "slaby_wysilek", "(w przypadku slaby_wysilek {1.fev1.value|2,73} i {1.fev1FromTimeZero.value|2,78} l w wierszu 1)"},
    {"H0006.rtf", "run:", "Referencja: {0.fev1.value|2,84} l; wartość należna dla kobiety w wieku 40 lat o wzroście 165 cm: {0.fev1.predicted|2,97} l (DGN {0.fev1.lln|2,24} l)"},
    {"H0006.rtf", "run:", "175 cm: {0.fev1.predicted|3,84} l (DGN {0.fev1.lln|2,94} l)", {}, "male,40,175"},
    {"H0006.rtf", "astma_oskrzelowa", "z-score FEV1 wynosi {3.fev1.z|−1,75}, {2.fev1.z|−2,66} i {1.fev1.z|−3,43}"},
    {"H0006.rtf", "run:", "Referencja: {0.fvc.value|3,42} l; wartość należna dla przykładowej kobiety {0.fvc.predicted|3,58} l (DGN {0.fvc.lln|2,73} l)"},
    {"H0006.rtf", "run:global.3=2000", "FVCEX wynosi {1.fvcex.value|3,42} l, choć natężony wydech dał tylko {1.fvc.value|3,16} l (FVC)"},
    {"H0006.rtf", "run:", "Referencja: {0.fev1PctFvc.value|83}%; wartość należna dla przykładowej kobiety {0.fev1PctFvc.predicted|83}% (DGN {0.fev1PctFvc.lln|72}%)"},
    {"H0006.rtf", "run:", "DGN wynosi {0.fev1PctFvc.lln|76}% w wieku 25 lat", {}, "female,25,165"},
    {"H0006.rtf", "run:", "{0.fev1PctFvc.lln|72}% w wieku 40 lat"},
    {"H0006.rtf", "run:", "i {0.fev1PctFvc.lln|66}% w wieku 70 lat", {}, "female,70,165"},
    {"H0006.rtf", "run:rIntermediate=200", "kobiecie FEV1/FVC {1.fev1PctFvc.measured|71}% (z-score {1.fev1PctFvc.z|−1,77})"},
    {"H0006.rtf", "astma_oskrzelowa", "(w przypadku astma_oskrzelowa, 800%, VC {1.slowVc.value|3,14} l wobec FVC {1.fvc.value|3,38} l)"},
    {"H0006.rtf", "run:", "Referencja: {0.pef.value|8,58} l/s"},
    {"H0006.rtf", "run:", "Referencja: MEF75 {0.mef75.value|7,19} l/s, MEF50 {0.mef50.value|3,51} l/s, MEF25 {0.mef25.value|1,33} l/s"},
    {"H0006.rtf", "slaby_wysilek", "MEF50 wynosi {1.mef50.ref|125}%, a MEF25 {1.mef25.ref|158}% referencji, choć przy tej samej wydmuchanej objętości ({*|1,46} l)", kHalfFvcexOfRow1},
    {"H0006.rtf", "slaby_wysilek", "i referencji jest taki sam ({*|4,40} l/s)", kReferenceFlowAtRow1Mef50},
    {"H0006.rtf", "slaby_wysilek", "i referencji jest taki sam ({1.mef50.value|4,40} l/s)"},
    {"H0006.rtf", "run:", "Referencja: {0.erv.value|1,11} l"},
    {"H0006.rtf", "run:", "Referencja: {0.fet.value|2,67} s"},
    {"H0006.rtf", "slaby_wysilek", "różnią się o {3-2.fvc.measured|0,17} l, więc próby nie są powtarzalne"},
    {"H0006.rtf", "run:", "Referencja: {0.frc.value|2,98} l, czyli {*|56}% TLC ({0.tlc.value|5,30} l)", kFrcPercentOfTlc},
    {"H0006.rtf", "run:", "Referencja: {0.tlc.value|5,30} l; u dorosłych"},
    {"H0006.rtf", "run:", "w referencji {0.rv.value|1,88} l, {0.rvPctTlc.value|35}% TLC"},
    {"H0006.rtf", "run:rIntermediate=200", "FEV1 (t0) modelu wynosi {1.fev1FromTimeZero.value|2,44} l, czyli {1.fev1FromTimeZero.ref|86}% referencji; przykładowa kobieta ma więc FEV1 {1.fev1.measured|2,54} l, {1.fev1.percentPredicted|86}% swojej wartości należnej ({1.fev1.predicted|2,97} l), z-score {1.fev1.z|−0,99}"},
    {"H0006.rtf", "run:", "jak mierzy ją spirometr ({0.fvc.value|3,42} l)"},
    {"H0006.rtf", "run:", "wyznaczonego ekstrapolacją wsteczną ({0.fev1FromTimeZero.value|2,85} l)"},
    {"H0006.rtf", "run:", "od 25% do 75% FVC ({0.fef25to75.value|2,81} l/s)"},
    {"H0006.rtf", "run:", "FEV6 równa się FVC ({0.fev6.value|3,42} l)"},
    {"H0006.rtf", "run:", "przy długim wydechu ({0.fev1PctFev6.value|83}%)"},
    {"H0006.rtf", "run:", "najmniejsza objętość powolnego wydechu ({0.slowVc.value|3,42} l)"},
    {"H0006.rtf", "run:", "100 × FEV1 (t0) / VC ({0.fev1PctVc.value|83}%)"},
    {"H0006.rtf", "run:", "mierzona pletyzmograficznie ({0.rv.value|1,88} l; zob. TLC)"},
    {"H0006.rtf", "run:", "także wartość modelu ({0.rvPctTlc.value|35}%)"},
    {"H0006.rtf", "run:", "do szczytu przepływu ({0.timeToPef.value|0,077} s)"},
    {"H0006.rtf", "slaby_wysilek", "(w przypadku slaby_wysilek {1.timeToPef.value|0,160} s w wierszu 1)"},
    {"H0006.rtf", "run:", "wydmuchana przed czasem zerowym ({0.backExtrapolatedVolume.value|0,023} l)"},
    {"H0006.rtf", "run:", "PEF w l/min ({0.empeyIndex.value|5,54})"},
    {"H0006.rtf", "run:", "porównuj go z referencją ({0.fif50.value|4,04} l/s)"},
    {"H0006.rtf", "run:", "MEF50 / FIF50 ({0.fef50ToFif50.value|0,87})"},
};
// clang-format on

// The help's paragraphs as the program shows them, with the en dash of a negative number (the
// help's code page has no minus sign) written as the minus sign the figures use.
std::vector<std::string> helpParagraphs(std::string_view file) {
    const std::vector<std::uint8_t> bytes = readBytes(kExeDir / "helpfiles" / file);
    const auto read = vm::data::readRtf(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    EXPECT_TRUE(read.document.has_value()) << file << ": " << read.error;
    std::vector<std::string> out;
    if (read.document)
        vm::data::forEachParagraph(*read.document, [&out](const vm::data::Paragraph& paragraph) {
            std::string text;
            for (const vm::data::TextRun& run : paragraph.runs)
                text += run.text;
            out.push_back(text);
        });
    return out;
}

std::string withMinusSigns(std::string text) {
    for (std::size_t at = 0; (at = text.find("–", at)) != std::string::npos; at += 3)
        if (at + 3 < text.size() && text[at + 3] >= '0' && text[at + 3] <= '9' &&
            (at == 0 || text[at - 1] == ' ' || text[at - 1] == '('))
            text.replace(at, 3, "−");
    return text;
}

// A session on the source's record, read for the entry's patient.
std::unique_ptr<Session> sessionFor(const HelpFigures& entry) {
    auto session = std::make_unique<Session>(ProgramFolder{kExeDir});
    if (!entry.source.starts_with("run:")) {
        const ViewChanges opened =
            session->OpenSimulationFile(kExeDir / "simulations" / (std::string(entry.source) + ".spi"));
        EXPECT_FALSE(opened.message) << entry.source << ": " << opened.message.value_or("");
    } else {
        session->InitialiseModel();
        EXPECT_FALSE(session->UseReferenceFrom(session->folder().standardRecord()).message);
        std::string_view settings = entry.source.substr(4);
        while (!settings.empty()) {
            const auto space = std::min(settings.find(' '), settings.size());
            const std::string_view word = settings.substr(0, space);
            settings.remove_prefix(std::min(space + 1, settings.size()));
            const auto eq = word.find('=');
            const auto setting = settingNamed(word.substr(0, eq));
            EXPECT_TRUE(setting && eq != std::string_view::npos) << word;
            const double percent = std::stod(std::string(word.substr(eq + 1)));
            if (setting && setting->global)
                session->SetGlobalSetting(setting->index, percent);
            else if (setting)
                session->SetPartSetting(LungPart(setting->part), SettingColumn(setting->index),
                                        percent);
        }
        session->StartSimulation({});
    }
    if (!entry.patient.empty()) {
        const auto patient = parsePatient(entry.patient);
        EXPECT_TRUE(patient) << entry.patient;
        if (patient)
            session->SetPatient(*patient);
    }
    return session;
}

TEST(HelpFigures, EveryQuotedFigureIsWhatTheModelGivesAndTheHelpHoldsItsPassage) {
    std::map<std::string, std::unique_ptr<Session>> sessions;
    std::map<std::string_view, std::vector<std::string>> paragraphs;
    for (const HelpFigures& entry : kHelpFigures) {
        SCOPED_TRACE(std::string(entry.file) + ": " + std::string(entry.quoted));
        auto& session = sessions[std::string(entry.source) + "|" + std::string(entry.patient)];
        if (!session)
            session = sessionFor(entry);
        // The passage as shown, each figure compared where it stands.
        std::string shown;
        std::string_view rest = entry.quoted;
        while (!rest.empty()) {
            const auto open = rest.find('{');
            shown += rest.substr(0, open);
            if (open == std::string_view::npos)
                break;
            const auto close = rest.find('}', open);
            ASSERT_NE(close, std::string_view::npos);
            const std::string_view markup = rest.substr(open, close - open + 1);
            rest.remove_prefix(close + 1);
            if (markup.starts_with("{*|")) {
                const std::string_view text = markup.substr(3, markup.size() - 4);
                ASSERT_TRUE(entry.measure) << "a {*|…} figure without its measure";
                CaseFigure asWritten;
                asWritten.shown = text;
                EXPECT_EQ(figureText(entry.measure(*session), asWritten.decimals(),
                                     asWritten.signShown()),
                          text);
                shown += text;
                continue;
            }
            const TextWithFigures read = takeFigures(markup, 0);
            ASSERT_EQ(read.problem, "") << markup;
            for (const std::string& mismatch : mismatchedFigures(*session, read.figures))
                ADD_FAILURE() << mismatch;
            shown += read.text;
        }
        auto& texts = paragraphs[entry.file];
        if (texts.empty())
            texts = helpParagraphs(entry.file);
        const std::string wanted = withMinusSigns(shown);
        EXPECT_TRUE(std::ranges::any_of(texts, [&](const std::string& paragraph) {
            return withMinusSigns(paragraph).find(wanted) != std::string::npos;
        })) << "the help no longer holds \"" << shown << "\"";
    }
}

// The results table's help describes every index read from the curves, by the name the report
// and the export give it, as an item of its list.
TEST(HelpFigures, TheResultsTableHelpDescribesEveryIndexReadFromTheCurves) {
    const std::vector<std::string> paragraphs = helpParagraphs("H0006.rtf");
    for (const CurveIndexInfo& info : kCurveIndices)
        EXPECT_TRUE(std::ranges::any_of(paragraphs, [&](const std::string& paragraph) {
            return paragraph.find(std::string(info.name) + " – ") != std::string::npos;
        })) << info.name;
}

} // namespace
