// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Following another process's changes to an .idx file block by block, for a reader that holds
// the tree as it last read it. Only our writers list the blocks they change (see ChangeList in
// idx_codec.h); another program's write shows as a modification time other than the one our last
// group gave the file, or (once one of ours wrote after it) as a list that starts after that
// write. When the list reaches back to what is held, only the listed blocks are read again: in
// the common case they are nodes already held, in the same places of the tree, and only their
// keys are replaced (patchInPlace); otherwise the tree is read again from its root, taking every
// block not listed from what is held (heldFor and readTree). Either way the result must hold one
// key per record, which only a plain index (not unique, no FOR clause) promises; whatever cannot
// be trusted this way is read whole by the caller. Internal to data/.

#include "data/idx_io.h"
#include "data/idx_tree.h"
#include "data/idx_tree_reader.h"

#include <cstdint>
#include <unordered_set>

namespace arrowsel::data::idx {

// The blocks that the groups written since `held` list in header `h` (the file now as `now`
// says) into `changed`; false when the list cannot be trusted to give the file as it is: another
// kind or key length, no list of ours, one that starts after what is held, or another time.
bool listedChanges(const unsigned char* h, const Stamp& now, const Stamp& held, IndexKind kind, int keyLength,
                   std::unordered_set<std::uint32_t>& changed);

// Reads again the `changed` blocks of `tree`, a file of `size` bytes, when they are all nodes it
// holds in the same places (keys added to or taken from leaves; an interior node's keys updated),
// and puts their keys in place; the tree must then hold `recordCount` keys. False, with nothing
// changed, when the tree's shape moved. Throws EIndexDamaged when the keys come out of order (the
// tree is then partly patched and must be read again).
bool patchInPlace(IdxTree& tree, const std::unordered_set<std::uint32_t>& changed, std::uint64_t size,
                  std::uint32_t recordCount, const BlockReader& read);

// What `tree` holds, for readTree to take every block not in `changed` from; the result must hold
// `recordCount` keys.
Reuse heldFor(IdxTree& tree, std::unordered_set<std::uint32_t> changed, std::uint32_t recordCount);

} // namespace arrowsel::data::idx
