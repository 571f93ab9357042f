// pelagrin-eight: the fish swims a figure eight, with the path drawn as a tube and the keyframes as
// small spheres.
#include "FishProgramTable.h"

int main()
{
  return RunFishProgram(PelagrinEight);
}
