// moorwhisk: the fish holds its place at the origin, in a small window, and only flexes its body.
#include "FishPaths.h"
#include "FishProgram.h"

int main()
{
  FishProgramConstants constants;
  constants.KeyFrames = MooringKeyFrames;
  constants.NumberOfKeyFrames = CountOf(MooringKeyFrames);
  constants.WindowWidth = 320;
  constants.WindowHeight = 240;
  constants.CameraZoom = 5.0;
  constants.ShowPath = false;
  constants.FramesPerCycle = 22;
  return RunFishProgram(constants);
}
