// Script values as text and rectangles for the interface layer.
#include "ui/uivalue.h"

#include "core/errors.h"
#include "core/text.h"
#include "fe/arrays.h"
#include "fe/script.h"

int uiValueText(const feObject* value, const char** text, int32_t* length) {
  return feGetString(value, text, length);
}

int uiStrDupValue(const feObject* value, char** text, int32_t* length) {
  if (value == nullptr) return feErrTypeCheck;
  const char* source = nullptr;
  int32_t n = 0;
  const int err = feGetString(value, &source, &n);
  if (err != feOk) return err;
  *text = uStrDup(source, uint32_t(n), nullptr);
  *length = n;
  return feOk;
}

int uiRectValue(feObject* slot, const RECT* rect) {
  feObject elems[4];
  feMakeInt(&elems[0], rect->left);
  feMakeInt(&elems[1], rect->top);
  feMakeInt(&elems[2], rect->right);
  feMakeInt(&elems[3], rect->bottom);
  return feMakeArray(slot, elems, 4);
}
