#pragma once

namespace quorbel {

// Clears the upper halves of the AVX registers, which Qt 6.4's string hashing (its VAES code,
// behind every QHash of strings) leaves in use on processors that have it. Until something clears
// them, every SSE instruction of that thread, and of each thread it starts afterwards, which
// inherits the state, waits on them: string building and copying ran six times slower. Call it
// where a thread begins heavy work; elsewhere it does nothing.
void clearUpperVectorState();

} // namespace quorbel
