// pelagrin-eight-bare: the figure-eight swim with neither the path tube nor the keyframe spheres
// shown.
#include "FishProgramTable.h"

int main()
{
  return RunFishProgram(PelagrinEightBare);
}
