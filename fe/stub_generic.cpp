// TEMPORARY: empty bodies so that the interpreter links while this module
// is being written; removed when the module lands.
#include "fe/generic.h"
#include "fe/stack.h"

#include <cstddef>
#include <cstdint>

void feFree(feObject*) {}
void feDup(const feObject*) {}
void feCopyValue(feObject*, const feObject*) {}
uint32_t feHash(const feObject*) { return 0; }
int feEq(const feObject*, const feObject*) { return 0; }
int feGet(const feObject*, const feObject*, feObject*) { return 0; }
int fePut(const feObject*, const feObject*, const feObject*) { return 0; }
int feLength(const feObject*, int32_t*) { return 0; }
int feMaxLength(const feObject*, int32_t*) { return 0; }
int feGetInterval(const feObject*, const feObject*, const feObject*, feObject*) { return 0; }
int fePutInterval(const feObject*, const feObject*, const feObject*) { return 0; }
int feCopyInto(const feObject*, const feObject*, feObject*) { return 0; }
int feReadChar(feObject*, int*) { return 0; }
int feUnreadChar(feObject*, int) { return 0; }
int fePrint(const feObject*, int) { return 0; }
int feCvs(const feObject*, const feObject*, feObject*) { return 0; }
int feTypeName(const feObject*, feObject*) { return 0; }
int feOpGet() { return 0; }
int feOpPut() { return 0; }
int feOpAget() { return 0; }
int feOpAput() { return 0; }
int feOpAXGet() { return 0; }
int feOpAXPut() { return 0; }
int feOpBind() { return 0; }
int feOpType() { return 0; }
int feOpCvs() { return 0; }
int feOpLOAD() { return 0; }
int feOpDUPLOAD() { return 0; }
