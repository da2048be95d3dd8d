// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/shop_record.h"

#include "data/dbf_header.h"
#include "data/dbf_table.h"
#include "data/file_io.h"

namespace arrowsel::reports {

RecordSnapshot RecordSnapshot::of(const data::TDbfTable& table) {
    RecordSnapshot snapshot;
    for (const data::FieldDef& f : table.fields()) {
        if (!data::isReadableType(f.type)) {
            continue; // such as Visual FoxPro's _NullFlags: no report prints it
        }
        const QString name = QString::fromStdString(f.name);
        snapshot.set(name, QString::fromStdString(table.fieldText(f.name)));
    }
    return snapshot;
}

void RecordSnapshot::set(const QString& name, const QString& value) {
    qsizetype end = value.size();
    while (end > 0 && value[end - 1] == u' ') {
        --end;
    }
    fields_.insert(name.toUpper(), value.left(end));
}

QString RecordSnapshot::field(const QString& name) const {
    return fields_.value(name.toUpper());
}

RecordSnapshot readShopRecord(const std::filesystem::path& dataFolder, ShopTable need) {
    if (need == ShopTable::Optional && !data::findFileNoCase(dataFolder / kShopTableName)) {
        return {};
    }
    data::TDbfTable table;
    table.open(dataFolder / kShopTableName, data::TDbfTable::OpenMode::ReadOnly);
    RecordSnapshot snapshot;
    if (table.recordCount() > 0) {
        table.first();
        snapshot = RecordSnapshot::of(table);
    }
    table.close();
    return snapshot;
}

} // namespace arrowsel::reports
