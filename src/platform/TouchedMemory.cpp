#include "platform/TouchedMemory.h"

#include <sys/mman.h>
#include <unistd.h>

namespace TouchedMemory {

void* allocate(quint64 bytes) {
    if (bytes == 0)
        return nullptr;
    void* block =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
    const long page = ::sysconf(_SC_PAGESIZE) > 0 ? ::sysconf(_SC_PAGESIZE) : 4096;
    auto* bytesPtr = static_cast<volatile unsigned char*>(block);
    for (quint64 offset = 0; offset < bytes; offset += quint64(page))
        bytesPtr[offset] = 0; // a write fault gives the page real memory
    return block;
}

void release(void* block, quint64 bytes) {
    if (block)
        ::munmap(block, bytes);
}

} // namespace TouchedMemory
