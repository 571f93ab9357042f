// moorwhisk: the fish holds its place at the origin, in a small window, and only flexes its body.
#include "FishProgramTable.h"

int main()
{
  return RunFishProgram(Moorwhisk);
}
