#include <errno.h>
#include <stdlib.h>
#include <windows.h>

namespace {

// A block is its header followed by its bytes; the handle is the header.
struct alignas(16) BlockHeader {
  SIZE_T size;
};

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T bytes) {
  if (bytes > SIZE_MAX - sizeof(BlockHeader)) {
    SetLastError(ENOMEM);
    return nullptr;
  }
  // Every block is zero-filled, so GMEM_ZEROINIT needs no work of its own.
  BlockHeader *header = static_cast<BlockHeader *>(calloc(1, sizeof(BlockHeader) + bytes));
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
  free(memory);
  return nullptr;
}
