#include "returns/run/run_memory.h"

#include <malloc.h>

namespace vat {

void SetUpRunMemory() {
    // glibc's starting threshold, held fixed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_ARENA_MAX, 1);
}

}  // namespace vat
