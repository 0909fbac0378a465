// Whether an alert box is open. The document windows read it so that they do
// not redraw or track while a modal alert runs its own message loop.
#ifndef PLUMET_UI_ALERTSTATE_H
#define PLUMET_UI_ALERTSTATE_H

void uiSetAlertActive(int flag);
int uiAlertActive();

#endif
