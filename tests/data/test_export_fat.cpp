// SPDX-License-Identifier: GPL-3.0-or-later
// The export onto a FAT file system (a USB stick), which has no Unix modes: a real image made with
// mkfs.vfat and mounted, by the kernel through a loop device or else through FUSE (fusefat).
// Mounting needs root; elsewhere the test is skipped, but not under CI=true when the machine could.

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

bool kernelKnowsVfat() {
    std::ifstream in("/proc/filesystems");
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("vfat") != std::string::npos) {
            return true;
        }
    }
    return false;
}

class FatExport : public ::testing::Test {
protected:
    void SetUp() override {
        const bool ci = std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true";
        const bool tools = run("command -v mkfs.vfat");
        const bool fuse = run("command -v fusefat") && fs::exists("/dev/fuse");
        const bool could = ::geteuid() == 0 && tools && (kernelKnowsVfat() || fuse);
        if (!could) {
            if (ci && ::geteuid() == 0) {
                FAIL() << "CI runs as root but cannot mount a FAT image: install dosfstools and fusefat "
                          "(scripts/setup)";
            }
            GTEST_SKIP() << "mounting a FAT image needs root, mkfs.vfat and vfat or fusefat";
        }
        fs::create_directory(mnt);
        ASSERT_TRUE(run("mkfs.vfat -C " + quoted(image) + " 4096")) << "mkfs.vfat failed";
        if (kernelKnowsVfat() && run("mount -o loop -t vfat " + quoted(image) + " " + quoted(mnt))) {
            unmount = "umount " + quoted(mnt);
            detach = "umount -l " + quoted(mnt);
        } else if (fuse && run("fusefat -o rw+ " + quoted(image) + " " + quoted(mnt))) {
            unmount = "fusermount -u " + quoted(mnt);
            detach = "fusermount -u -z " + quoted(mnt);
        } else if (ci) {
            FAIL() << "the FAT image could not be mounted";
        } else {
            GTEST_SKIP() << "the FAT image could not be mounted here";
        }
    }
    void TearDown() override {
        // A file left open keeps the stick busy; it is then detached all the same, so that removing
        // the test's folder never reaches into the mount.
        if (!unmount.empty() && !run(unmount)) {
            ADD_FAILURE() << "the stick is still in use: " << unmount;
            run(detach);
        }
    }

    // Every name in the stick's folder: a temporary left behind would show here.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(mnt)) {
            out.push_back(e.path().filename().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    TempDir dir;
    fs::path image = dir / "stick.img";
    fs::path mnt = dir / "stick";
    std::string unmount;
    std::string detach;
};

TEST_F(FatExport, newAndReplacedFilesAreWritten_noTemporaryIsLeft) {
    TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 20}});
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.insert();
    t.setFieldText("NAME", "Adler");
    t.post();

    t.copyToText(mnt / "custdb.txt"); // a new file
    t.insert();
    t.setFieldText("NAME", "Baker");
    t.post();
    t.copyToText(mnt / "custdb.txt"); // replaces it: its mode cannot be kept, and need not be

    std::ifstream in(mnt / "custdb.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "\"Adler\"\r\n\"Baker\"\r\n");
    EXPECT_EQ(names(), std::vector<std::string>{"custdb.txt"});
}

} // namespace
