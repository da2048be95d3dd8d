// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Seams for tests of crash safety and of shared reads; never set by the program. Being replaced by
// the IoProbe a test hands to what it tests.

#include "data/io_probe.h"

#include <chrono>

namespace arrowsel::data::test_hooks {

using data::IndexIo;
using data::PostStage;

extern void (*postStage)(PostStage stage);
extern int (*indexIo)(IndexIo op);

// How long a shared open trusts what it read while the table's header stays as it was (250 ms
// unless a test changes it).
extern std::chrono::milliseconds trustUnchanged;

} // namespace arrowsel::data::test_hooks
