// Layer-sorted drawing: the draw-list sort of vwDrawView and the layer
// priority list that layerSortDrawList follows.
//
// While sorting is enabled and a sort function is installed, vwDrawView
// collects the objects of a view's box into an array, lets the sort function
// order it, and draws it from its last entry to its first: what comes first
// in the array ends up on top. A box holding no object is neither sorted nor
// drawn.
//
// layerSortDrawList orders by the names of the objects' layers (byte-wise,
// ascending); with a priority list, the objects of each listed layer come
// first, list order, then the objects of every unlisted layer. The operators
// aStartLayerSortDraw, aEndLayerSortDraw and aSetDrawLayerPriority (vwInit
// registers them) drive it from scripts.
#ifndef PLUMET_VIEWS_VWSORT_H
#define PLUMET_VIEWS_VWSORT_H

#include <cstdint>

struct gobjRec;
struct feArgs;

// Orders count object pointers in place. The answer is not used by the
// drawing.
typedef int (*vwSortHookFn)(gobjRec** items, uint32_t count);

void vwSetSortHook(vwSortHookFn sort);
vwSortHookFn vwGetSortHook();
void vwSetSortEnabled(bool enabled);
bool vwGetSortEnabled();

// The layer sort. An empty array (or none) reports the panic
// "layerSortDrawList: tried to sort nonedata array " and answers -1; the
// panic "layerSortDrawList: allocation failure " answers -1 with the array
// as it was. When the priority groups and the rest together do not hold
// every object exactly once (a name listed twice), "layerSortDrawList: user
// sort failure\n" goes to the debug log and the name order stays (answer
// 1). Otherwise 0.
int layerSortDrawList(gobjRec** items, uint32_t count);

// Replaces the priority list by copies of the names (lengths given); none
// clears it. 0, or 9 when memory ran out (the list is then empty).
int layerSetPriority(const char* const* names, const uint32_t* lengths, uint32_t count);
// The number of names in the priority list and name i of it.
uint32_t layerPriorityCount();
const char* layerPriorityName(uint32_t i, uint32_t* length);

// Back to the start: no sort function, sorting off, no priority list.
void vwSortReset();

// The operators: aStartLayerSortDraw "!", aEndLayerSortDraw "!",
// aSetDrawLayerPriority "!O#l" (answers 0, 1 for an empty array or a value
// that is no array, which leave no list, or 9 when memory ran out).
int vwOpStartLayerSortDraw(feArgs* args);
int vwOpEndLayerSortDraw(feArgs* args);
int vwOpSetDrawLayerPriority(feArgs* args);

#endif
