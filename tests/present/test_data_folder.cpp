// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file_lookup.h"
#include "present/data_folder.h"
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

namespace arrowsel::test {
namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~EnvVar() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DataFolder, currentDirWithHuntingChartInAnyCase_isTheDataFolder) {
    TempDir dir;
    std::ofstream(dir / "huntchrt.dbf") << "x";
    EXPECT_EQ(present::findDataFolder(dir.path()), dir.path());
}

TEST(DataFolder, currentDirWithoutChart_perUserFolderFromXdgDataHome) {
    TempDir dir;
    EnvVar xdg("XDG_DATA_HOME", "/srv/xdg");
    EXPECT_EQ(present::findDataFolder(dir.path()), std::filesystem::path("/srv/xdg/arrowsel"));
}

TEST(DataFolder, relativeOrMissingXdgDataHome_fallsBackToHomeLocalShare) {
    EnvVar home("HOME", "/home/shop");
    {
        EnvVar xdg("XDG_DATA_HOME", "relative/path");
        EXPECT_EQ(present::userDataFolder(), std::filesystem::path("/home/shop/.local/share/arrowsel"));
    }
    EnvVar xdg("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(present::userDataFolder(), std::filesystem::path("/home/shop/.local/share/arrowsel"));
}

TEST(DataFolder, findFileNoCase_prefersExactName_ignoresFolders) {
    TempDir dir;
    std::filesystem::create_directory(dir / "INVSEL.TXT");
    EXPECT_FALSE(engine::findFileNoCase(dir.path(), "invsel.txt"));
    std::ofstream(dir / "InvSel.Txt") << "x";
    EXPECT_EQ(engine::findFileNoCase(dir.path(), "invsel.txt"), dir / "InvSel.Txt");
    EXPECT_FALSE(engine::findFileNoCase(dir / "missing", "invsel.txt"));
}

} // namespace
} // namespace arrowsel::test
