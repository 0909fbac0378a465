// The interpreter's error codes, which the runtime's routines answer too (a
// range or limit check of a matrix or a translation table is the same error a
// script sees). 0 is success; 268 is the not-equal answer of feEq and never
// raised; other subsystems answer their own negative codes.
#ifndef PLUMET_CORE_ERRORS_H
#define PLUMET_CORE_ERRORS_H

enum feErrorCode {
  feOk = 0,
  feErrEof = 259,
  feErrSyntax = 260,
  feErrNotANumber = 261,
  feErrUnmatchedMark = 262,
  feErrStackUnderflow = 263,
  feErrUndefined = 265,
  feErrDictFull = 266,
  feErrRangeCheck = 267,
  feNotEqual = 268,
  feErrTypeCheck = 269,
  feErrLimitCheck = 270,
  feErrInvalidFileName = 271,
  feErrInvalidFileAccess = 272,
  feErrIo = 273,
  feErrUndefinedResult = 274,
  feErrUnimplemented = 275,
  feErrInvalidExit = 276,
  feErrInterrupt = 277,
  feErrDictStackUnderflow = 278,
  feErrInvalidAccess = 279,
  feErrLengthCheck = 280,
  // Answered by attribute messages for a key that the object does not know.
  feErrUnknownKey = 281,
};

#endif
