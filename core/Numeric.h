#pragma once

#include "core/Variant.h"

// The one normaliser every typed number passes through before it is stored, computed with or
// shown. The value is first read as text and trimmed; it is blank when nothing is left.
//
//   value      digits   mode 0 (numeric)          mode 1 (text)             other modes
//   blank      any      Integer 0                 Text ""                   Empty
//   not blank  -1       the value as a Decimal    the value's text, as is   Empty
//   not blank  0..      Decimal rounded half to even to `digits` places, both modes; Empty
//
// A text that is not a number throws VbError::typeMismatch(), a Null VbError::invalidUseOfNull();
// digits below -1 throw VbError::invalidProcedureCall(). Texts follow the locale's number format.
Variant toNumeric(const Variant& value, int digits, int mode);
