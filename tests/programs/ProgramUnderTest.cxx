// The one source of a program test built for each program: its name.
#include "ProgramExpectations.h"

const char* ProgramUnderTest()
{
  return PELAGRIN_PROGRAM;
}
