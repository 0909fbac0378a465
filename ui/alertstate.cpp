#include "ui/alertstate.h"

static int alertActive;

void uiSetAlertActive(int flag) { alertActive = flag; }
int uiAlertActive() { return alertActive; }
