#include "returns/run/run_memory.h"

#include <malloc.h>

namespace vat {

void ReturnLargeBlocksWhenFreed() {
    // glibc's starting threshold, held fixed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

}  // namespace vat
