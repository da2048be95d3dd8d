// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

// Replacing the customer files of a folder (table, memo file, index) as one change. Each rename is
// atomic, but three of them are not: a kill between two would leave a new table beside the old
// memo file, whose blocks then show other customers' comments. So the replacement is first
// written down in a note in the folder (under a temporary name, flushed, then renamed: the note
// is there whole or not at all), and only then are the files renamed. Whoever opens the book next
// finds a note left behind and completes its renames: after a kill or a power cut at any write,
// sync or rename the folder holds the old book or the new one, byte for byte.
namespace arrowsel::records {

// The folders of `folder` the staged files are written in begin so.
inline constexpr const char* kStagingPrefix = ".customers-new-";

// A new file, written in full, and the name it is to take.
struct StagedFile {
    std::filesystem::path staged;
    std::filesystem::path target;
};

// Each write, sync, rename and removal of a replacement, in the order they are made.
enum class ReplaceIo { Write, Sync, Rename, Remove };

// What a test hands to a replacement to be told of each of them as it is made, e.g. to raise
// SIGKILL at one in a child process. The program passes none; an empty one is not called.
using ReplaceProbe = std::function<void(ReplaceIo op)>;

// Flushes the staged files, writes the note, renames every staged file onto its target, and
// removes the note. Each target is a file of `folder`, each staged file one of a staging folder in it. Throws
// EBookError: before the note is in place the book is as it was; after it, the next open completes the change.
void commitReplacement(const std::filesystem::path& folder, const std::vector<StagedFile>& files,
                       const ReplaceProbe& probe = {});

// Completes a replacement whose note a killed process left in `folder`, and removes the note and
// the folder its staged files were in; does nothing when there is no note. Throws EBookError
// when the note cannot be followed. Two processes may call it at once.
void finishReplacement(const std::filesystem::path& folder, const ReplaceProbe& probe = {});

// Flushes a file or a folder (the names in it) to the disk.
void syncPath(const std::filesystem::path& path, const ReplaceProbe& probe = {});

} // namespace arrowsel::records
