// The nearest-object probe: one pass over the current sieve, and the search
// that widens the radius until enough objects are found.
#include "objects/nearprobe.h"

#include "core/classes.h"
#include "draw/csys.h"
#include "draw/xforms.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/hitrad.h"
#include "objects/layer.h"
#include "objects/nearcurve.h"
#include "objects/objsend.h"
#include "objects/sieve.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr double kConstructionPenalty = 0.9;
constexpr double kEqualScores = 1e-16;
constexpr double kSameEnd = 1e-8;

struct Pass {
  nearProbeRec* probe;
  int r;
  int construction;     // layer number of "construction", or -1
  uint8_t model;        // the current model number
  double hatchPenalty;
};

int constructionLayer() {
  const int n = layerNumber("construction", 12);
  return n >= 0 ? n : -1;
}

uint8_t currentModel() {
  const dbDocRec* doc = dbCurrentDoc();
  return doc ? doc->currentModel : 0;
}

bool inCurrentModel(const gobjRec* object, uint8_t model) { return object->owner == 0 || object->owner == model; }

// The share of a candidate's score taken off for its depth: near 0 far
// behind the screen, near 1 in front of it.
double depthWeight(double z) {
  if (z > 1024) return 1 - 1 / z;
  if (z < -1024) return -1 / z;
  return ((z + 1024) * 1022 + 2048) * std::ldexp(1.0, -21);
}

void toScreen(const double* world, double* screen) {
  if (vwCurViewRec()) vwWorldToScreen(world, screen);
  else std::memcpy(screen, world, 3 * sizeof(double));
}

void insert(nearProbeRec* probe, gobjRec* object, gobjRec* found, double score, double param, const double* point,
            bool pointKnown) {
  int at = 0;
  while (at < probe->count && probe->candidates[at].score <= score) ++at;
  if (at >= nearMaxCandidates) return;
  if (probe->count == nearMaxCandidates) {
    objRelease(&probe->candidates[nearMaxCandidates - 1].object);
    --probe->count;
  }
  std::memmove(&probe->candidates[at + 1], &probe->candidates[at], size_t(probe->count - at) * sizeof(nearCandidate));
  nearCandidate& c = probe->candidates[at];
  c = nearCandidate{};
  c.object = object;
  objRetain(object);
  c.found = found;
  c.score = score;
  c.param = param;
  if (pointKnown) {
    std::memcpy(c.point, point, sizeof c.point);
    c.status = nearPointKnown;
  }
  ++probe->count;
}

void measure(Pass* pass, gobjRec* object) {
  nearProbeRec* probe = pass->probe;
  gobjRec* measured = object;
  if (probe->xform) {
    measured = nullptr;
    if (objCopyWith(object, csysCurrent(), &measured) != 0 || !measured) return;
  }
  // Held while it is measured; a copy nobody keeps goes with this reference.
  objRetain(measured);
  double squared = -1, param = -1;
  if (crvNearest(measured, probe->point, double(pass->r), &squared, &param, 1) >= 0 && squared >= 0) {
    double score = squared;
    if (objInClass(object, "hatch") == 1) score += pass->hatchPenalty;
    if (pass->construction >= 0 && object->layer == pass->construction) score += kConstructionPenalty;
    if (score >= probe->minScore && score <= probe->maxScore) {
      double point[3];
      const bool known = crvPoint(measured, param, point) >= 0;
      if (known) {
        double screen[3];
        toScreen(point, screen);
        score -= depthWeight(screen[2]) * score * 0.125;
      }
      // The nearer end of a curve picked past its middle is its far end.
      if (param > 0.5) measured->flags |= gobjFarEnd;
      else measured->flags &= uint16_t(~gobjFarEnd);
      insert(probe, measured, object, score, param, point, known);
    }
  }
  objRelease(&measured);
}

void test(Pass* pass, gobjRec* object, bool inVolume);

struct Members {
  Pass* pass;
  bool inVolume;
};

int testMember(gobjRec* member, void* context) {
  auto* m = static_cast<Members*>(context);
  test(m->pass, member, m->inVolume);
  return 0;
}

void test(Pass* pass, gobjRec* object, bool inVolume) {
  nearProbeRec* probe = pass->probe;
  if (!inVolume && (object->flags & (gobjHidden | gobjNoSelect))) return;
  if (!inCurrentModel(object, pass->model)) return;
  if (probe->lookIn && objIsContainer(object)) {
    Members members{pass, inVolume || objInClass(object, "volume") == 1};
    objEnumMembers(object, testMember, &members);
    return;
  }
  if (objInClass(object, probe->className) != 1) return;
  if (!inVolume && (object->flags & probe->mask) != probe->value) return;
  measure(pass, object);
}

int visit(gobjRec* object, void* context) {
  test(static_cast<Pass*>(context), object, false);
  return 0;
}

// The two end points of a candidate on the screen; false when they cannot
// be evaluated.
bool endPoints(const nearCandidate& c, double ends[2][3]) {
  double world[3];
  for (int i = 0; i < 2; ++i) {
    if (crvPoint(c.object, double(i), world) < 0) return false;
    toScreen(world, ends[i]);
  }
  return true;
}

bool samePoint(const double* a, const double* b) {
  for (int k = 0; k < 3; ++k)
    if (std::fabs(a[k] - b[k]) > kSameEnd) return false;
  return true;
}

double endDistance(const nearProbeRec* probe, const double ends[2][3]) {
  double best = -1;
  for (int i = 0; i < 2; ++i) {
    const double dx = ends[i][0] - probe->point[0], dy = ends[i][1] - probe->point[1];
    const double d = dx * dx + dy * dy;
    if (best < 0 || d < best) best = d;
  }
  return best;
}

// Ties in order of the nearer end points, then twins dropped.
void settle(nearProbeRec* probe) {
  const int n = probe->count;
  if (n < 2) return;
  struct Ends {
    bool known;
    double at[2][3];
    double distance;
  };
  std::vector<Ends> ends(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    ends[i].known = endPoints(probe->candidates[i], ends[i].at);
    ends[i].distance = ends[i].known ? endDistance(probe, ends[i].at) : 0;
  }
  // Insertion sort of runs of equal scores: stable, and the list is short.
  for (int i = 1; i < n; ++i) {
    int j = i;
    while (j > 0 && std::fabs(probe->candidates[j].score - probe->candidates[j - 1].score) < kEqualScores &&
           ends[j].known && ends[j - 1].known && ends[j].distance < ends[j - 1].distance) {
      std::swap(probe->candidates[j], probe->candidates[j - 1]);
      std::swap(ends[j], ends[j - 1]);
      --j;
    }
  }
  int kept = 1;
  for (int i = 1; i < n; ++i) {
    const Ends& a = ends[i];
    const Ends& b = ends[kept - 1];
    const bool twin = a.known && b.known &&
                      ((samePoint(a.at[0], b.at[0]) && samePoint(a.at[1], b.at[1])) ||
                       (samePoint(a.at[0], b.at[1]) && samePoint(a.at[1], b.at[0])));
    if (twin) {
      objRelease(&probe->candidates[i].object);
      continue;
    }
    probe->candidates[kept] = probe->candidates[i];
    ends[kept] = ends[i];
    ++kept;
  }
  for (int i = kept; i < n; ++i) probe->candidates[i] = nearCandidate{};
  probe->count = kept;
}

int documentRadius() {
  int32_t radius = 0;
  aHitRad(&radius);
  return radius;
}

}  // namespace

void nearProbeInit(nearProbeRec* probe) {
  *probe = nearProbeRec{};
  std::strcpy(probe->className, "gobject");
  probe->mask = nearDefaultMask;
  probe->value = 0;
  probe->minScore = -1.0;
  probe->maxScore = 0.1;
}

void nearProbeSetClass(nearProbeRec* probe, const char* name, int length) {
  if (!name || length <= 0) {
    std::strcpy(probe->className, "gobject");
    probe->curve = false;
    return;
  }
  const int n = std::min(length, int(nearClassNameMax));
  std::memcpy(probe->className, name, size_t(n));
  probe->className[n] = 0;
  probe->curve = std::strcmp(probe->className, "curve") == 0;
}

void nearProbeClear(nearProbeRec* probe) {
  for (int i = 0; i < probe->count; ++i) objRelease(&probe->candidates[i].object);
  for (nearCandidate& c : probe->candidates) c = nearCandidate{};
  probe->count = 0;
}

int nearPass(nearProbeRec* probe, int r) {
  sieveRec* sieve = sieveCurrent();
  if (!sieve) return probe->count;
  const int docRadius = documentRadius();
  Pass pass{probe, r, constructionLayer(), currentModel(),
            docRadius < 6 ? double(docRadius) * docRadius - 1 : 35.0};
  const int32_t rect[4] = {int32_t(std::floor(probe->point[0] - r)), int32_t(std::floor(probe->point[1] - r)),
                           int32_t(std::ceil(probe->point[0] + r)), int32_t(std::ceil(probe->point[1] + r))};
  csysPush();
  sieveSearch(sieve, visit, &pass, 0, rect, 0, 0);
  csysPop();
  settle(probe);
  return probe->count;
}

int nearRun(nearProbeRec* probe, int count, glist** out) {
  int final = probe->hitRadius;
  if (final < 1) final = documentRadius();
  if (final < 1) final = 8;
  int r = final < 4 ? final : 4;
  const int construction = constructionLayer();
  std::vector<gobjRec*> collected;
  grpBegin();
  for (;;) {
    nearProbeClear(probe);
    probe->minScore = -1.0;
    probe->maxScore = double(r) * r;
    nearPass(probe, r);
    for (int i = 0; i < probe->count && int(collected.size()) < count; ++i) {
      const nearCandidate& c = probe->candidates[i];
      if (count > 1 && construction >= 0 && c.found->layer == construction) continue;
      if (std::find(collected.begin(), collected.end(), c.found) != collected.end()) continue;
      grpAdd(c.object);
      collected.push_back(c.found);
    }
    nearProbeClear(probe);
    if (int(collected.size()) >= count || r >= final) break;
    r = std::min(2 * r, final);
  }
  *out = grpEnd();
  return 0;
}

int nearProbe(const double* point, int count, const char* className, int length, int hitRadius, uint16_t mask,
              uint16_t value, glist** out) {
  nearProbeRec probe;
  nearProbeInit(&probe);
  probe.point[0] = point[0];
  probe.point[1] = point[1];
  nearProbeSetClass(&probe, className, length);
  probe.hitRadius = hitRadius;
  probe.mask = mask;
  probe.value = value;
  return nearRun(&probe, count, out);
}
