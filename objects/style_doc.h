// Each document's character style: the reference dbDocRec::charStyle holds
// (objects/docstate.h) and the settings variable "$CHSTYLE" that stores the
// default character style in the document's file.
//
// The document events (a hook of dbDocEvent, set up by styleInit): a new
// record takes a copy of the current record's style, or of the default one;
// a record released keeps a copy of the default style as it stands; a record
// made current makes its style the default (as aStyleSetDefChar); a record
// freed drops its style.
#ifndef PLUMET_OBJECTS_STYLE_DOC_H
#define PLUMET_OBJECTS_STYLE_DOC_H

#include "objects/docstate.h"
#include "objects/ioctx.h"

#include <cstdint>

// The document event hook (low 16 bits of the event, the record).
void styleDocEvent(uint32_t event, dbDocRec* doc);

// The body of "$CHSTYLE", inside a style bracket of the stream: writing
// stores a fresh copy of the default character style in the record and
// writes it; reading reads a style (a copy of the default when none was
// stored), interns it and makes it the default character style. Before
// styleInit nothing is written and nothing is read.
int styleCharVarIO(dbDocRec* doc, ioCtx* ctx);

#endif
