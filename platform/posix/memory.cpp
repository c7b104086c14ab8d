#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <windows.h>

namespace {

// A block is its header followed by its bytes; the handle is the header.
// Large blocks have a mapping of their own (mapping is its start), the rest
// come from the heap (mapping is null).
struct alignas(16) BlockHeader {
  SIZE_T size;
  void *mapping;
  SIZE_T mappingLength;
};

// Blocks this large are mapped on huge-page boundaries and asked to be
// backed by huge pages: filling a large list then costs a few page faults
// instead of one per 4 KiB, which is most of the time spent loading it.
constexpr SIZE_T HUGE_PAGE_SIZE = 2 * 1024 * 1024;

BlockHeader *AllocateFromHeap(SIZE_T length) {
  // Heap blocks are zero-filled, as mapped ones are.
  BlockHeader *header = static_cast<BlockHeader *>(calloc(1, length));
  if (header) header->mapping = nullptr;
  return header;
}

BlockHeader *AllocateMapped(SIZE_T length) {
  if (length > SIZE_MAX - HUGE_PAGE_SIZE) return nullptr;
  SIZE_T mappingLength = length + HUGE_PAGE_SIZE;
  void *mapping =
      mmap(nullptr, mappingLength, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return nullptr;
  uintptr_t aligned = (reinterpret_cast<uintptr_t>(mapping) + HUGE_PAGE_SIZE - 1) &
                      ~static_cast<uintptr_t>(HUGE_PAGE_SIZE - 1);
  // Only a hint: without huge pages the block still works, only slower.
  madvise(reinterpret_cast<void *>(aligned), length, MADV_HUGEPAGE);
  BlockHeader *header = reinterpret_cast<BlockHeader *>(aligned);
  header->mapping = mapping;
  header->mappingLength = mappingLength;
  return header;
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T bytes) {
  if (bytes > SIZE_MAX - sizeof(BlockHeader)) {
    SetLastError(ENOMEM);
    return nullptr;
  }
  // Every block is zero-filled, so GMEM_ZEROINIT needs no work of its own.
  SIZE_T length = sizeof(BlockHeader) + bytes;
  BlockHeader *header =
      length >= HUGE_PAGE_SIZE ? AllocateMapped(length) : AllocateFromHeap(length);
  if (!header) {
    SetLastError(ENOMEM);
    return nullptr;
  }
  header->size = bytes;
  return header;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
  BlockHeader *header = static_cast<BlockHeader *>(memory);
  if (!header) {
    SetLastError(EINVAL);
    return nullptr;
  }
  if (header->size == 0) {
    SetLastError(ERROR_EMPTY_BLOCK);
    return nullptr;
  }
  return header + 1;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID address) {
  if (!address) {
    SetLastError(EINVAL);
    return nullptr;
  }
  return const_cast<BlockHeader *>(static_cast<const BlockHeader *>(address) - 1);
}

BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
  // FALSE with NO_ERROR: the block is no longer locked.
  SetLastError(memory ? NO_ERROR : EINVAL);
  return FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
  BlockHeader *header = static_cast<BlockHeader *>(memory);
  if (header && header->mapping)
    munmap(header->mapping, header->mappingLength);
  else
    free(header);
  return nullptr;
}
