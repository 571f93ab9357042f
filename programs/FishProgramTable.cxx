/*=========================================================================

  Program:   Fish animation programs
  Module:    FishProgramTable.cxx

=========================================================================*/
#include "FishProgramTable.h"

#include "FishPaths.h"

#include <cstring>

namespace
{
constexpr int PerPathSample = FishProgramConstants::FramesPerPathSample;
}

// Keyframes, window width and height, camera zoom, path shown, frames per
// cycle.
const FishProgramConstants PelagrinEight = { FigureEightKeyFrames, CountOf(FigureEightKeyFrames),
  640, 480, 1.1, true, PerPathSample };
const FishProgramConstants PelagrinRing = { RingKeyFrames, CountOf(RingKeyFrames), 640, 480, 2.0,
  true, PerPathSample };
const FishProgramConstants PelagrinEightBare = { FigureEightKeyFrames,
  CountOf(FigureEightKeyFrames), 640, 480, 1.1, false, PerPathSample };
const FishProgramConstants PelagrinRingBare = { RingKeyFrames, CountOf(RingKeyFrames), 640, 480,
  2.0, false, PerPathSample };
// The fish holds its place: a cycle is a fixed 22 frames.
const FishProgramConstants Moorwhisk = { MooringKeyFrames, CountOf(MooringKeyFrames), 320, 240, 5.0,
  false, 22 };

const NamedFishProgram FishPrograms[5] = {
  { "pelagrin-eight", &PelagrinEight },
  { "pelagrin-ring", &PelagrinRing },
  { "pelagrin-eight-bare", &PelagrinEightBare },
  { "pelagrin-ring-bare", &PelagrinRingBare },
  { "moorwhisk", &Moorwhisk },
};

//------------------------------------------------------------------------------
const FishProgramConstants* FindFishProgram(const char* name)
{
  for (const NamedFishProgram& program : FishPrograms)
  {
    if (std::strcmp(program.Name, name) == 0)
    {
      return program.Constants;
    }
  }
  return nullptr;
}
