// The fuzz targets' scratch folder: a fresh temporary folder per process,
// made on first use and removed at exit, so that the files a target writes
// never land anywhere else. (The process's current directory stays where
// it was: the fuzzer's own paths may be relative to it.)
#ifndef PLUMET_TESTS_FUZZ_SCRATCH_H
#define PLUMET_TESTS_FUZZ_SCRATCH_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzfs {

// The folder (made on the first call).
const std::string& scratchDir();

// Writes bytes to a file of the folder and answers its path.
std::string writeScratchFile(const char* name, const uint8_t* data, size_t size);

// The whole content of a file; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string* out);

}  // namespace fuzzfs

#endif
