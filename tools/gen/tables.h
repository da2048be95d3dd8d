// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/gen/catalogue.h"
#include "tools/gen/charts.h"

#include <filesystem>
#include <string>
#include <vector>

namespace arrowsel::sampledata {

// The last-update date written into every table we ship (YY as year mod 100, MM, DD), so that
// the files come out the same on every build.
inline constexpr unsigned char kTableDate[3] = {9, 1, 1};

inline constexpr const char* kSpecsKeyField = "SPECKEY";
inline constexpr const char* kSavedIndexExpression = "NAME";

// Writes every table and text file of the data folder (not the pictures) from the sources.
void writeDataFiles(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir);

// Pieces, for the generator and its tests.
void writeChart(const Chart& chart, const std::filesystem::path& outDir);
void writeSpecs(const Catalogue& c, const std::filesystem::path& outDir);
void writeSavedSetups(const std::filesystem::path& outDir);
void writeShopInfo(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir);
void writeNotice(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir);

// Keys of the specification table that another key begins with (an empty list when seeking any
// key can only land on its own record).
std::vector<std::string> prefixClashes(std::vector<std::string> keys);

// Overwrites the header's last-update bytes with kTableDate.
void fixTableDate(const std::filesystem::path& dbf);

} // namespace arrowsel::sampledata
