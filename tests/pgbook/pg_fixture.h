// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/customer_book.h"
#include "records/pg_schema.h"
#include "tests/support/pg_cluster.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace arrowsel::test {

// One server for the whole test program (each test runs in a program of its own under ctest), a
// fresh database with the book's schema for every test.
inline PgCluster& sharedCluster() {
    static PgCluster cluster;
    return cluster;
}

class PgBookTest : public ::testing::Test {
protected:
    void SetUp() override {
        database_ = sharedCluster().createDatabase();
        records::initServerBook(url());
    }

    PgCluster& cluster() { return sharedCluster(); }
    std::string url() const { return sharedCluster().url(database_); }
    const std::string& database() const { return database_; }
    std::unique_ptr<records::CustomerBook> open() const { return records::openCustomerBookAt(url()); }
    void sql(const std::string& statement) const { sharedCluster().exec(statement, database_); }

private:
    std::string database_;
};

} // namespace arrowsel::test
