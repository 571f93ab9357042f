/*=========================================================================

  Program:   Fish animation programs
  Module:    FishProgramTable.h

=========================================================================*/
/**
 * The settings of the five programs, each under its own name and all of
 * them in one table by name. Each program's entry source runs its own row;
 * the recorder finds a program's row by the name it is given.
 */

#ifndef FishProgramTable_h
#define FishProgramTable_h

#include "FishProgram.h"

extern const FishProgramConstants PelagrinEight;
extern const FishProgramConstants PelagrinRing;
extern const FishProgramConstants PelagrinEightBare;
extern const FishProgramConstants PelagrinRingBare;
extern const FishProgramConstants Moorwhisk;

struct NamedFishProgram
{
  const char* Name;
  const FishProgramConstants* Constants;
};

/**
 * The five programs, in the order the README lists them.
 */
extern const NamedFishProgram FishPrograms[5];

/**
 * The settings of the program of that name, or nullptr.
 */
const FishProgramConstants* FindFishProgram(const char* name);

#endif
