// pelagrin-ring-bare: the circular swim with neither the path tube nor the keyframe spheres shown.
#include "FishProgramTable.h"

int main()
{
  return RunFishProgram(PelagrinRingBare);
}
