// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/report.h"

#include <QHash>
#include <filesystem>

namespace arrowsel::data {
class TDbfTable;
}

namespace arrowsel::reports {

// One record of a table as it stood when it was read: every field's text, trailing blanks dropped
// (a character field comes padded to its width, and a padded name would print off centre).
// Field names are matched without regard to letter case; an unknown field reads as empty.
class RecordSnapshot : public RecordSource {
public:
    static RecordSnapshot of(const data::TDbfTable& table); // the table's current record
    void set(const QString& name, const QString& value);
    void clear() { fields_.clear(); }
    QString field(const QString& name) const override;
    bool hasRecord() const override { return !fields_.empty(); }

private:
    QHash<QString, QString> fields_;
};

// The shop information table of the data folder.
inline constexpr char kShopTableName[] = "SHOPINFO.DBF";

// Whether a report can do without the shop table: Optional prints an empty shop header when the
// file is not there at all (a table that is there but cannot be read is still an error).
enum class ShopTable { Required, Optional };

// The shop's record as it stands now (the table's first record; no fields when it has none).
// Throws data::ETableError when the table cannot be read.
RecordSnapshot readShopRecord(const std::filesystem::path& dataFolder, ShopTable need = ShopTable::Required);

} // namespace arrowsel::reports
