// Each document's character style and "$CHSTYLE".
#include "objects/style_doc.h"

#include "objects/docvar.h"
#include "objects/ioformat.h"
#include "objects/style.h"
#include "objects/style_internal.h"

namespace {

// The record's style becomes a copy of from (or is dropped for null), with
// the record's reference.
void holdCopy(dbDocRec* doc, const styleRec* from) {
  auto* old = static_cast<styleRec*>(doc->charStyle);
  styleRec* copy = from ? styleCopy(from) : nullptr;
  styleRef(copy);
  doc->charStyle = copy;
  styleUnref(old);
}

}  // namespace

void styleDocEvent(uint32_t event, dbDocRec* doc) {
  if (!doc) return;
  switch (event) {
    case docEvtCreated: {
      const dbDocRec* current = dbDocCurrent();
      const auto* from = current && current != doc && current->charStyle
                             ? static_cast<const styleRec*>(current->charStyle)
                             : styleDefChar();
      holdCopy(doc, from);
      break;
    }
    case docEvtReleased:
    case docEvtSwitchOut:
      if (styleDefChar()) holdCopy(doc, styleDefChar());
      break;
    case docEvtCurrent:
    case docEvtSwitchIn:
      if (doc->charStyle) styleSetDefault(static_cast<const styleRec*>(doc->charStyle));
      break;
    case docEvtFreed:
      holdCopy(doc, nullptr);
      break;
    default:
      break;
  }
}

int styleCharVarIO(dbDocRec* doc, ioCtx* ctx) {
  if (!styleDefChar()) return 0;
  if (ctx->mode == 'r' && ioBytesLeft(ctx) <= 0) return 0;
  styleIOBegin(ctx);
  int answer = 0;
  if (ctx->mode != 'r') {
    holdCopy(doc, styleDefChar());
    answer = styleWrite(static_cast<const styleRec*>(doc->charStyle), ctx);
  } else {
    styleRec* s = nullptr;
    styleRead(&s, ctx);
    if (!s || s->kind != styleKindChar) {
      styleUnref(s);
      s = styleCopy(styleDefChar());
      styleRef(s);
    }
    s = styleIntern(s);
    answer = styleTakeDefault(s);
    if (answer) styleUnref(s);
  }
  styleIOEnd(ctx);
  return answer;
}

void styleDocInit() { docAddEventHook(styleDocEvent); }
