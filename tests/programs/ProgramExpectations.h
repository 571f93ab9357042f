/*=========================================================================

  Program:   Fish animation programs
  Module:    ProgramExpectations.h

=========================================================================*/
/**
 * What each of the five programs is expected to be, written out apart from
 * the programs' own constants: keyframes, window, camera zoom, whether the
 * path is shown and frames per cycle. A program test is built once per
 * program; ProgramUnderTest() names it.
 */

#ifndef ProgramExpectations_h
#define ProgramExpectations_h

#include "KeyFrameTables.h"

#include "vtkTrajectory.h"

#include <cstring>
#include <stdexcept>
#include <string>

struct ProgramExpectation
{
  const char* Program;
  const KeyFrameRow* Keys;
  int NumberOfKeys;
  int Width;
  int Height;
  double Zoom;
  bool PathShown;
  int FramesPerCycle;
};

inline constexpr ProgramExpectation ProgramExpectations[] = {
  { "pelagrin-eight", FigureEightTable, 8, 640, 480, 1.1, true, 320 },
  { "pelagrin-ring", RingTable, 8, 640, 480, 2.0, true, 320 },
  { "pelagrin-eight-bare", FigureEightTable, 8, 640, 480, 1.1, false, 320 },
  { "pelagrin-ring-bare", RingTable, 8, 640, 480, 2.0, false, 320 },
  { "moorwhisk", MooringTable, 1, 320, 240, 5.0, false, 22 },
};

inline constexpr int AnimationCycles = 10;
inline constexpr int SamplesPerKeyFrame = 40;

/**
 * The name of the program that this test executable runs.
 */
const char* ProgramUnderTest();

inline const ProgramExpectation& ThisProgram()
{
  for (const ProgramExpectation& e : ProgramExpectations)
  {
    if (std::strcmp(e.Program, ProgramUnderTest()) == 0)
    {
      return e;
    }
  }
  throw std::runtime_error(std::string("unknown program ") + ProgramUnderTest());
}

/**
 * The program's closed trajectory, built from the expected keyframes. The
 * caller deletes it.
 */
inline vtkTrajectory* NewTrajectory(const ProgramExpectation& e)
{
  vtkTrajectory* trajectory = vtkTrajectory::New();
  for (int i = 0; i < e.NumberOfKeys; ++i)
  {
    const KeyFrameRow& k = e.Keys[i];
    trajectory->AddKeyFrame(k.Time, k.X, k.Y, k.Z, k.Angle, 0, 0, 1);
  }
  trajectory->ClosedOn();
  return trajectory;
}

/**
 * The path's time step: the closed span over one less than the samples.
 */
inline float TimeStep(const ProgramExpectation& e)
{
  return static_cast<float>((1 + (e.Keys[e.NumberOfKeys - 1].Time - e.Keys[0].Time)) /
    (SamplesPerKeyFrame * e.NumberOfKeys - 1));
}

#endif
