// pelagrin-ring-bare: the circular swim with neither the path tube nor the keyframe spheres shown.
#include "FishPaths.h"
#include "FishProgram.h"

int main()
{
  FishProgramConstants constants;
  constants.KeyFrames = RingKeyFrames;
  constants.NumberOfKeyFrames = CountOf(RingKeyFrames);
  constants.WindowWidth = 640;
  constants.WindowHeight = 480;
  constants.CameraZoom = 2.0;
  constants.ShowPath = false;
  constants.FramesPerCycle = FishProgramConstants::FramesPerPathSample;
  return RunFishProgram(constants);
}
