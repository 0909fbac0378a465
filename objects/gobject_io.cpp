// The record of the head (message 312 of "gobject"), read and written by
// one routine. Its layout level is fixed per file in the type table under
// "gobject": level 2 for files of version 0-2, level 3 for versions 3 and 4
// (files of version 0 store no levels and read as level 0).
//
//   level 0  ss        line font, pen
//   level 1  ssbbL     + colour, flag byte (1 locked, 4 control points
//                        shown, 8 selected), layer
//   level 2  ssbbLi    + owner number
//   level 3  ssbbLil   + object id (24 bits), then the attribute dictionary
//                        (ddIO)
#include "objects/gobject_internal.h"

#include "core/debug.h"
#include "objects/ddict.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/layer.h"

namespace {

enum : uint8_t { kFileLocked = 1, kFileControlPts = 4, kFileSelected = 8 };

bool unknownLevelShown;

}  // namespace

int gobjHeadIO(gobjRec* object, ioCtx* ctx) {
  const int level = ioTypeMap(ctx, gobjClassId(), ctx->version <= 2 ? 2 : 3);
  if (level < 0) return -1;
  if (level > 3) {
    if (!unknownLevelShown) {
      unknownLevelShown = true;
      uAlert(0, "SERROR - Unrecognized Plumet File (Japanese?)", nullptr);
    }
    return -1;
  }
  const bool reading = ctx->mode == 'r';
  int16_t lineFont = int16_t(gobjLineFont(object));
  int16_t pen = int16_t(gobjPen(object));
  uint8_t color = object->color;
  uint8_t flagByte = uint8_t(((object->flags & gobjLocked) ? kFileLocked : 0) |
                             ((object->flags & gobjControlPts) ? kFileControlPts : 0) |
                             ((object->flags & gobjSelected) ? kFileSelected : 0));
  uint8_t layer = object->layer;
  int32_t owner = object->owner;
  int32_t id = int32_t(object->id & 0xFFFFFF);
  static const char* const kFormats[] = {"ss", "ssbbL", "ssbbLi", "ssbbLil"};
  if (ioFormat(ctx, kFormats[level], &lineFont, &pen, &color, &flagByte, &layer, &owner, &id) < 0) return -1;
  if (reading) {
    object->style = uint8_t((pen & 7) << 5 | (lineFont & 31));
    if (level >= 1) {
      object->color = color;
      object->layer = layer;
      layerTakeHidden(object);
      uint16_t flags = object->flags & uint16_t(~(gobjLocked | gobjControlPts | gobjSelected));
      if (flagByte & kFileLocked) flags |= gobjLocked;
      if (flagByte & kFileControlPts) flags |= gobjControlPts;
      if (flagByte & kFileSelected) flags |= gobjSelected;
      object->flags = flags;
    }
    if (level >= 2) object->owner = uint8_t(owner);
    if (level >= 3) object->id = (object->id & 0xFF000000u) | (uint32_t(id) & 0xFFFFFF);
  }
  // The attribute dictionary (objects/ddict.h) follows a level-3 head;
  // reading replaces the object's own.
  if (level == 3 && ddIO(&object->attrs, ctx) < 0) return -1;
  return 0;
}
