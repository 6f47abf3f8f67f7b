#pragma once

namespace vat {

// How a program that runs months allocates; called once, first thing.
// - A month's lists, sums and texts are blocks of megabytes, made and freed file by file, some
//   on the thread that reads ahead. Served by their own mappings, each goes back to the system
//   when freed, rather than leave holes in the heap that the next file's blocks do not fit: the
//   allocator's own threshold rises with every large block freed, until such blocks come from
//   the heap.
// - Every thread allocates from the one heap. A run's threads (the files ahead, the record, a
//   year's next month) are made anew for each month, and each took an arena of its own that
//   kept what it freed for the thread after: a year running two months side by side peaked at
//   62 MB that way and at 50 MB with one heap, in the same time.
void SetUpRunMemory();

}  // namespace vat
