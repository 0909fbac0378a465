// Symbols in drawing files: the master table of a file, the symbol segment
// (header word 5) and the format letter Y.
//
// Writing, the letter Y enters the master of each reference into the
// file's table; the segment, written when the file is closed, lists the
// table's masters, measured first so that the masters their members place
// join the table too. The records go from the last index to the first, so
// that a reader defines every master before the masters that place it.
#include "objects/symb.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "objects/docstate.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"

#include <cstring>
#include <vector>

namespace {

// The masters of one file, each held by the table.
struct SymbTable {
  std::vector<symbRec*> masters;
  bool writeAll = false;
};

SymbTable* tableOf(ioCtx* ctx, bool make) {
  auto* table = static_cast<SymbTable*>(ctx->symbolTable);
  if (!table && make) {
    table = new SymbTable;
    ctx->symbolTable = table;
  }
  return table;
}

void tableFree(ioCtx* ctx) {
  auto* table = static_cast<SymbTable*>(ctx->symbolTable);
  if (!table) return;
  ctx->symbolTable = nullptr;
  for (symbRec*& master : table->masters) symbRelease(&master);
  delete table;
}

void tableSet(SymbTable* table, size_t index, symbRec* master) {
  symbRec*& slot = table->masters[index];
  if (slot == master) return;
  symbRetain(master);
  symbRelease(&slot);
  slot = master;
}

// The index of the master, appended when it is not listed yet.
int32_t tableIndex(SymbTable* table, symbRec* master) {
  for (size_t i = 0; i < table->masters.size(); ++i)
    if (table->masters[i] == master) return int32_t(i);
  table->masters.push_back(nullptr);
  tableSet(table, table->masters.size() - 1, master);
  return int32_t(table->masters.size() - 1);
}

// The record level of the masters in this file: 2 from container version 2
// on, else 1 (a container of version 0 stores no levels: 0).
int mastLevel(ioCtx* ctx) { return ioTypeMap(ctx, symbMastClassId(), ctx->version >= 2 ? 2 : 1); }

// One master record by level: 0 "SG" (name, members), 1 "SGl" (and the
// id), 2 "SGl3d.s" (and the base point and the fixed-origin option). The
// fields go one letter at a time, so that no letter can take another's
// argument (a letter not defined takes none).
int masterFields(ioCtx* ctx, int level, char** name, glist** members, int32_t* id, double* base,
                 uint16_t* options) {
  int bytes = 0;
  auto add = [&bytes](int got) {
    if (bytes >= 0) bytes = got < 0 ? -1 : bytes + got;
  };
  add(ioFormat(ctx, "S", name));
  add(ioFormat(ctx, "G", members));
  if (level >= 1) add(ioFormat(ctx, "l", id));
  if (level >= 2) add(ioFormat(ctx, "3d.s", base, 1, options));
  return bytes;
}

int masterRecord(ioCtx* ctx, int level, symbRec* master) {
  return masterFields(ctx, level, &master->name, &master->members, &master->id, master->base, &master->options);
}

int readSegment(ioCtx* ctx) {
  int32_t count = 0;
  if (ioFormat(ctx, "i", &count) < 0) return -1;
  // A master takes at least two bytes: a larger count is damage.
  if (count < 0 || count > ioBytesLeft(ctx) / 2) {
    ioFail(ctx, -4139, "SBad data in file", nullptr);
    return -1;
  }
  SymbTable* table = tableOf(ctx, true);
  table->masters.assign(size_t(count), nullptr);
  const int level = ioTypeMap(ctx, symbMastClassId(), 0);
  for (int32_t i = count - 1; i >= 0; --i) {
    // The name and the members stay this loop's until the master is made,
    // also when a failed read of a later field leaves through the recovery
    // point.
    ioOwnedText ownedName;
    struct Members {
      glist* list = nullptr;
      ~Members() { grpRelease(&list); }
    } ownedMembers;
    char*& name = ownedName.text;
    glist*& members = ownedMembers.list;
    int32_t id = 0;
    double base[3] = {0, 0, 0};
    uint16_t options = 0;
    const int bytes = masterFields(ctx, level, &name, &members, &id, base, &options);
    if (bytes >= 0) {
      symbRec* master = table->masters[size_t(i)];
      symbDefine(members, name, name ? int32_t(std::strlen(name)) : 0, level >= 2 ? base : nullptr, &master);
      if (!master) {
        dbgPanic("group: %lx %s, %lx\n", int32_t(i), name ? name : "", int32_t(count));
      } else {
        tableSet(table, size_t(i), master);
        master->id = id;
        master->options = options;
      }
    }
    if (bytes < 0) return -1;
  }
  return 0;
}

int writeSegment(ioCtx* ctx) {
  SymbTable* table = tableOf(ctx, true);
  // A whole document keeps the masters no instance places as well.
  if (table->writeAll)
    if (const dbDocRec* doc = dbCurrentDoc()) {
      std::vector<symbRec*> rest;
      for (symbRec* master = doc->symbols; master; master = master->next) rest.push_back(master);
      // The list is newest first: the oldest goes first, as it was defined.
      for (auto it = rest.rbegin(); it != rest.rend(); ++it) tableIndex(table, *it);
    }
  const int level = mastLevel(ctx);
  // The measuring pass enters the masters that members place; the table
  // grows while it is walked.
  const uint8_t enabled = ctx->writeEnable;
  ctx->writeEnable = 0;
  for (size_t i = 0; i < table->masters.size(); ++i) {
    symbRec* master = table->masters[i];
    masterFields(ctx, 0, &master->name, &master->members, nullptr, nullptr, nullptr);
  }
  ctx->writeEnable = enabled;
  int32_t count = int32_t(table->masters.size());
  if (ioFormat(ctx, "i", &count) < 0) return -1;
  for (int32_t i = count - 1; i >= 0; --i)
    if (masterRecord(ctx, level, table->masters[size_t(i)]) < 0) return -1;
  return 0;
}

int readReference(ioCtx* ctx, symbRec** slot) {
  const int level = ioTypeMap(ctx, symbMastClassId(), 0);
  char* name = nullptr;
  int32_t count = 0, index = -1;
  int bytes = level <= 0 ? ioFormat(ctx, "Si", &name, &count) : ioFormat(ctx, "Sii", &name, &count, &index);
  if (bytes < 0) {
    uFreeIfSet(&name);
    return -1;
  }
  const char* text = name ? name : "";
  const int32_t length = int32_t(std::strlen(text));
  symbRec* master = nullptr;
  if (level <= 0) {
    master = symbFind(text, length, 0);
    if (!master) {
      uAlert(0, "WSymbol not found: ^0", text);
      master = symbFind(text, length, 1);
    }
  } else {
    SymbTable* table = tableOf(ctx, false);
    if (table && index >= 0 && size_t(index) < table->masters.size()) {
      master = table->masters[size_t(index)];
      if (!master) {
        static const double origin[3] = {0, 0, 0};
        symbDefine(nullptr, text, length, origin, &master);
        if (master) tableSet(table, size_t(index), master);
      }
    } else {
      if (!(ctx->flags & ioFlagRaw)) uAlert(0, "WIndexed symbol not found: ^0", text);
      master = symbFind(text, length, 1);
    }
  }
  uFreeIfSet(&name);
  // Each parameter takes at least two bytes.
  if (count < 0 || count > 0xFFFF || count > ioBytesLeft(ctx) / 2) return -1;
  symbParam* params = nullptr;
  if (count > 0) uAlloc(&params, nullptr, uint32_t(count), sizeof(symbParam));
  for (int32_t i = 0; i < count; ++i) {
    const int got = ioFormat(ctx, "Sd", &params[i].name, &params[i].value);
    if (got < 0) {
      symbParamsFree(count, &params);
      return -1;
    }
    bytes += got;
  }
  if (!master) {
    dbgPanic("[symbFormatIO] symb==NULL");
    symbParamsFree(count, &params);
    return bytes;
  }
  symbCopyFor(master, count, params, slot);
  return bytes;
}

int writeReference(ioCtx* ctx, symbRec** slot) {
  symbRec* symbol = *slot;
  symbRec* master = symbol ? symbol->master : nullptr;
  if (!master) {
    dbgPanic("[symbFormatIO] symb==0");
    return 0;
  }
  const int level = mastLevel(ctx);
  int32_t index = tableIndex(tableOf(ctx, true), master);
  int32_t count = symbol->paramCount;
  int bytes = level <= 0 ? ioFormat(ctx, "Si", &master->name, &count)
                         : ioFormat(ctx, "Sii", &master->name, &count, &index);
  for (int32_t i = 0; i < count && bytes >= 0; ++i) {
    const int got = ioFormat(ctx, "Sd", &symbol->params[i].name, &symbol->params[i].value);
    bytes = got < 0 ? got : bytes + got;
  }
  return bytes;
}

}  // namespace

void symbWriteAll(ioCtx* ctx) {
  if (ctx) tableOf(ctx, true)->writeAll = true;
}

int symbIO(ioCtx* ctx, int event) {
  if (!ctx) return -1;
  switch (event) {
    case ioEvReadSegment: {
      if (ctx->flags & ioFlagRaw) return 0;
      // A damaged record fails the segment here, where what it read so far
      // is freed; the open then fails through its own recovery point.
      ioRecovery* recovery = ctx->recovery;
      ctx->recovery = nullptr;
      const int answer = readSegment(ctx);
      ctx->recovery = recovery;
      return answer;
    }
    case ioEvWriteSegment:
      if (ctx->flags & ioFlagRaw) return 0;
      return writeSegment(ctx);
    case ioEvReadEnd:
    case ioEvWriteEnd:
      tableFree(ctx);
      return 0;
    default:
      return 0;
  }
}

void symbIOClose(ioCtx* ctx) { tableFree(ctx); }

int symbFormatIO(ioCtx* ctx, int repeat, const intptr_t** cursor) {
  int bytes = 0;
  for (int r = 0; r < repeat; ++r) {
    auto** slot = reinterpret_cast<symbRec**>(*(*cursor)++);
    const int got = ctx->mode == 'w' ? writeReference(ctx, slot) : readReference(ctx, slot);
    if (got < 0) return -1;
    bytes += got;
  }
  return bytes;
}
