// The names of the program's error codes, registered with the interpreter's
// error-name table so that scripts and reports see them by name.
#include "objects/errnames.h"

#include "fe/error.h"

namespace {

struct ErrName {
  int code;
  const char* name;
};

// In registration order. -4109 and -4148 have no name.
constexpr ErrName kNames[] = {
    {-4097, "UndoOff"},
    {-4098, "CannotUndo"},
    {-4099, "CannotRedo"},
    {-4100, "BadArg"},
    {-4101, "CannotOpenFile"},
    {-4102, "CannotReadFile"},
    {-4103, "BadMagicNumber"},
    {-4104, "CannotWriteFile"},
    {-4105, "NoRoom"},
    {-4106, "BadLayer"},
    {-4107, "LayerTableFull"},
    {-4108, "MouseUp"},
    {-4110, "TableFull"},
    {-4111, "NoTable"},
    {-4112, "NotFound"},
    {-4113, "BadVersion"},
    {-4114, "CannotCreateTemp"},
    {-4115, "NoFont"},
    {-4116, "ErrTest"},
    {-4117, "NoSheet"},
    {-4118, "NoPoint"},
    {-4119, "BadName"},
    {-4120, "NoIntersection"},
    {-4121, "NoConverge"},
    {-4122, "CannotFillet"},
    {-4123, "Need2Curves"},
    {-4124, "NameExists"},
    {-4125, "CannotDelta"},
    {-4126, "Locked"},
    {-4127, "NoMethod"},
    {-4128, "CannotHideWorkLayer"},
    {-4129, "BadRadiusValue"},
    {-4130, "CannotDeleteWorkLayer"},
    {-4131, "Need3Curves"},
    {-4132, "Need2Lines"},
    {-4133, "MissingRightParen"},
    {-4134, "MissingLeftParen"},
    {-4135, "ExpressionSyntax"},
    {-4136, "BadLengthInExpression"},
    {-4137, "HugeData"},
    {-4138, "Timeout"},
    {-4139, "BadData"},
    {-4140, "FileTruncated"},
    {-4141, "VarNotDefined"},
    {-4142, "CannotSetWorkLayer"},
    {-4143, "SetIsEmpty"},
    {-4144, "NameTooLong"},
    {-4145, "NoMem"},
    {-4146, "NoDoc"},
    {-4147, "StringTooLong"},
    {-4149, "NonPlanar"},
    {-4150, "Degenerate"},
    {-4151, "InUse"},
    {-4152, "UnknownKey"},
    {-4153, "GroupIsEmpty"},
    {-4154, "SymbolIsRecursive"},
    {-4155, "NoDrive"},
    {-4156, "BadDate"},
    {-4157, "ReadOnly"},
    {13, "DiskLocked"},
    {32, "DiskFull"},
};

}  // namespace

void errNamesInit() {
  for (const ErrName& entry : kNames) feDefError(entry.code, entry.name);
}
