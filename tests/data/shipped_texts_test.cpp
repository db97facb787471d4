// The help texts and setting notes the build lays beside the program, read as the program reads
// them.

#include "data/rtf_document.h"
#include "data/setting_notes.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace vm::data;

namespace fs = std::filesystem;

namespace {

const fs::path kHelpDir = fs::path(VM_RUNTIME_DIR) / "helpfiles";

std::string plainText(const RtfDocument& document) {
    std::string text;
    forEachParagraph(document, [&text](const Paragraph& paragraph) {
        for (const TextRun& run : paragraph.runs)
            text += run.text;
        text += '\n';
    });
    return text;
}

std::string readHelpText(const std::string& name) {
    const std::vector<std::uint8_t> bytes = readBytes(kHelpDir / name);
    const RtfReadResult read =
        readRtf(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    EXPECT_TRUE(read.document.has_value()) << name << ": " << read.error;
    return read.document ? plainText(*read.document) : std::string();
}

TEST(ShippedTexts, EveryHelpFileReadsWithItsTitleAndPolishLetters) {
    for (int k = 0; k <= 6; ++k) {
        const std::string text = readHelpText("H000" + std::to_string(k) + ".rtf");
        EXPECT_GT(text.size(), 1000u) << k;
        EXPECT_NE(text.find("ł"), std::string::npos) << k;
        EXPECT_NE(text.find("„"), std::string::npos) << k; // the program's texts in Polish quotes
        EXPECT_NE(text.find("–"), std::string::npos) << k; // and en dashes, all of code page 1250
    }
}

TEST(ShippedTexts, EveryNoteKeyTheProgramAsksForHasAText) {
    for (int key = 1; key <= 11; ++key) {
        const SettingNoteResult note = readSettingNote(kHelpDir / "pdp.txt", key);
        ASSERT_TRUE(note.note.has_value()) << key << ": " << note.error;
        EXPECT_GT(note.note->first.size(), 40u) << key;
        EXPECT_FALSE(note.note->second.empty()) << key;
    }
}

// The general help tells what each teaching case shows, by the name the window gives its file.
TEST(ShippedTexts, GeneralHelpNamesEveryTeachingCase) {
    const std::string text = readHelpText("H0000.rtf");
    int cases = 0;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(VM_RUNTIME_DIR) / "simulations")) {
        if (entry.path().extension() != ".spi")
            continue;
        ++cases;
        EXPECT_NE(text.find(entry.path().stem().string()), std::string::npos) << entry.path();
    }
    EXPECT_GE(cases, 6);
}

} // namespace
