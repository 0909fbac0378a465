// Private to the translation module: the pair table as the file reader, the
// template writer and the operators see it.
#ifndef PLUMET_CORE_XLATE_INTERNAL_H
#define PLUMET_CORE_XLATE_INTERNAL_H

#include <cstdint>

// One pair, five 32-bit words in this order (the layout of the "xlate-buf"
// block): pool offsets of the source and the translation, the next entry in
// the source chain and in the translation chain (xlateNoEntry ends a chain),
// and the used flag (set when a look-up answers the pair).
struct xlatePair {
  uint32_t source;
  uint32_t translation;
  uint32_t nextSource;
  uint32_t nextTranslation;
  uint32_t used;
};
static_assert(sizeof(xlatePair) == 20, "a pair is five 32-bit words");

constexpr uint32_t xlateNoEntry = 0xFFFFFFFFu;
constexpr int xlateChains = 64;

// The hash of a text: h = 3 h + c over its characters (c as a signed byte, h
// unsigned 32 bits from 0), then its low 6 bits.
uint32_t xlateHash(const char* text, uint32_t length);

// The pairs and the terminated text at a pool offset.
const xlatePair* xlatePairTable();
const char* xlatePoolText(uint32_t offset);
// The first entry of a source chain (xlateNoEntry when empty).
uint32_t xlateSourceChain(int chain);


// Forgets the template file name (the test seam's reset).
void xlateResetTemplate();

#endif
