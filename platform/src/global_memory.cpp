// Global memory: blocks that GlobalAlloc hands out as handles and
// GlobalLock turns into addresses. Blocks never move, so the handle is the
// block's address and locking only counts; a handle the table does not know
// is refused rather than trusted.
#include "layer.h"

#include <cstring>
#include <map>
#include <memory>

namespace {

struct Block {
  std::unique_ptr<unsigned char[]> bytes;
  SIZE_T size = 0;
  int locks = 0;
};

std::map<HGLOBAL, Block> blocks;

Block* findBlock(HGLOBAL handle) {
  auto it = blocks.find(handle);
  return it == blocks.end() ? nullptr : &it->second;
}

}  // namespace

namespace pl {
void resetGlobalMemory() { blocks.clear(); }
}  // namespace pl

extern "C" HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  (void)uFlags;  // every block starts zeroed: GMEM_ZEROINIT or not
  Block block;
  block.size = dwBytes;
  // A block of 0 bytes still gets an address of its own.
  block.bytes.reset(new (std::nothrow) unsigned char[dwBytes ? dwBytes : 1]());
  if (!block.bytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HGLOBAL handle = block.bytes.get();
  blocks.emplace(handle, std::move(block));
  return handle;
}

extern "C" LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
  Block* b = findBlock(hMem);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++b->locks;
  return b->bytes.get();
}

extern "C" BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
  Block* b = findBlock(hMem);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (b->locks > 0) --b->locks;
  // Windows answers whether the block is still locked.
  SetLastError(ERROR_SUCCESS);
  return b->locks > 0 ? TRUE : FALSE;
}

extern "C" HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  if (!hMem) return nullptr;
  if (!findBlock(hMem)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return hMem;  // failure answers the handle
  }
  blocks.erase(hMem);
  return nullptr;
}

extern "C" SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
  Block* b = findBlock(hMem);
  return b ? b->size : 0;
}
