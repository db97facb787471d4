#pragma once
// A complete program folder in a temporary directory, written by the test itself so that every
// expected value is known: the standard record, the parameter table, the five airway pictures
// (first 100 bytes reversed), the background picture, the setting notes and the simulations
// folder.

#include "record/simulation_record.h"

#include <QTemporaryDir>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace vm::record;

// Indices of the reference row by field; an index not listed is 0.
struct StandardIndex {
    RowField field;
    float value;
};
inline constexpr StandardIndex kStandardIndices[] = {
    {RowField::fev1, 3.1234f},     {RowField::fvcex, 4.0f},     {RowField::fev1PctFvc, 78.0853f},
    {RowField::pef, 8.5f},         {RowField::mef75, 7.25f},    {RowField::mef50, 4.5f},
    {RowField::erv, 1.2f},         {RowField::flowAt1s, -2.0f}, {RowField::frc, 2.9f},
    {RowField::tlc, 6.2f},         {RowField::runStatus, 1.0f}, {RowField::fet, 5.5f},
    {RowField::modelVariant, 1.0f}};

class DataFolder {
  public:
    DataFolder();

    // exeDir as the window takes it: the folder with a trailing '/'.
    QString exeDir() const { return dir_.path() + QStringLiteral("/"); }
    std::filesystem::path path() const { return std::filesystem::path(dir_.path().toStdString()); }
    std::filesystem::path dataFile(const std::string& name) const {
        return path() / "datfiles1" / name;
    }
    std::filesystem::path lockDirectory() const { return path() / "lock"; }

    // The record written as standard.dat.
    const SimulationRecord& standard() const { return standard_; }

    void writeStandard(const SimulationRecord& record) const;
    void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    void remove(const std::string& name) const;

    // Picture k = 1..5 is (40 + k) x (30 + k) pixels, the background 64 x 48.
    static int pictureWidth(int k) { return 40 + k; }
    static int pictureHeight(int k) { return 30 + k; }

  private:
    QTemporaryDir dir_;
    SimulationRecord standard_;
};

// A JPEG of a plain picture, as the decoder must accept it.
std::vector<std::uint8_t> plainJpeg(int width, int height);
