// The program's own string table, answered by LoadStringA for the program
// module: 16 the program name, 18 the about-box text (with "^0", "^1", "^2"
// for the version, the user and company, and the third information field),
// 20 the version text.
//
// Alerts prefer a string resource over their built-in text when the id
// exists, so ids used by alerts as keys (3, 4, 104, 131, 132 ...) are
// deliberately absent: those alerts then show their own text.
#ifndef PLUMET_CORE_RESOURCES_H
#define PLUMET_CORE_RESOURCES_H

enum {
  resProgramName = 16,
  resAboutText = 18,
  resVersionText = 20,
};

// Hands the table to the platform layer. Safe to call any number of times;
// uLoadString calls it before every load, so strings work without start-up.
void resInstallProgramStrings();

#endif
