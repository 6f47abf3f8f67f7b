#pragma once

namespace vat {

// A month's lists, sums and texts are blocks of megabytes, made and freed file by file, some on
// the thread that reads ahead. Served by their own mappings, each goes back to the system when
// freed, rather than leave holes in the heap that the next file's blocks do not fit: the
// allocator's own threshold rises with every large block freed, until such blocks come from
// the heap. Called once, first thing in a program that runs months.
void ReturnLargeBlocksWhenFreed();

}  // namespace vat
