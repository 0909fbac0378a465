// The run-time library's file calls that reach below the stdio buffers: the
// descriptor of a stream and the flush of a descriptor's data to the disk.
#include "windows.h"

#include <unistd.h>

#include <cstdio>

int _fileno(FILE* stream) { return stream ? fileno(stream) : -1; }

int _commit(int fd) {
  if (fd < 0) return -1;
  return fsync(fd) == 0 ? 0 : -1;
}
