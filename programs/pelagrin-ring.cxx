// pelagrin-ring: the fish swims a circle twice per cycle, with the path drawn as a tube and the
// keyframes as small spheres.
#include "FishProgramTable.h"

int main()
{
  return RunFishProgram(PelagrinRing);
}
