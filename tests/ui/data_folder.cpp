#include "data_folder.h"

#include "data/jpeg_encoder.h"
#include "record/record_file.h"
#include "record/vocabulary.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

using namespace vm::record;
using namespace vm::data;

namespace fs = std::filesystem;

std::vector<std::uint8_t> plainJpeg(int width, int height) {
    DecodedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(static_cast<std::size_t>(width * height * 3), 0);
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) {
        picture.rgb[i] = 200;
        picture.rgb[i + 1] = 60;
        picture.rgb[i + 2] = 60;
    }
    const EncodedJpeg encoded = encodeJpeg(picture, 90);
    if (!encoded.ok)
        throw std::runtime_error("test picture not encoded: " + encoded.message);
    return encoded.bytes;
}

DataFolder::DataFolder() {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    fs::create_directories(path() / "datfiles1");
    fs::create_directories(path() / "simulations");
    fs::create_directories(path() / "helpfiles");
    fs::create_directories(lockDirectory());

    for (const StandardIndex& index : kStandardIndices)
        standard_.setField(0, index.field, index.value);
    // Both-lungs settings the row grid shows: 100, 110, ... 170 in the reference, and
    // 90 + 10 * row + column in rows 1..3.
    for (int c = 0; c < layout::kSettingColumns; ++c) {
        standard_.setPartSetting(0, kEditedPart, c, static_cast<float>(100 + 10 * c));
        for (int row = 1; row <= 3; ++row)
            standard_.setPartSetting(row, kEditedPart, c, static_cast<float>(90 + 10 * row + c));
    }
    standard_.setGlobalSetting(0, GlobalItem::expirationDepth, 120.0f);
    writeStandard(standard_);

    std::ofstream table(dataFile("F000.dat"), std::ios::binary);
    table << "1;10;20;30;40\n2;50;60;70;80\n";
    table.close();

    for (int k = 1; k <= 5; ++k) {
        std::vector<std::uint8_t> bytes = plainJpeg(pictureWidth(k), pictureHeight(k));
        std::reverse(bytes.begin(), bytes.begin() + 100);
        writeBytes("F00" + std::to_string(k) + ".dat", bytes);
    }
    writeBytes("tlo.dat", plainJpeg(64, 48));

    // Note n reads "Nota n" above the separator and "opis n" below it.
    std::ofstream notes(path() / "helpfiles" / "pdp.txt", std::ios::binary);
    for (int n = 1; n <= 11; ++n)
        notes << '#' << n << "\nNota " << n << "\n+++\nopis " << n << ".\n*\n";
}

void DataFolder::writeStandard(const SimulationRecord& record) const {
    const FileResult written = writeRecordFile(dataFile("standard.dat"), record);
    if (!written.ok)
        throw std::runtime_error(written.message);
}

void DataFolder::writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream out(dataFile(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + name);
}

void DataFolder::remove(const std::string& name) const {
    fs::remove(dataFile(name));
}
