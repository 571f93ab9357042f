// pelagrin-record: a video of one of the five programs, drawn off screen and encoded by ffmpeg.
#include "FishRecorder.h"

int main(int argc, char* argv[])
{
  return RecordFishProgram(argc, argv);
}
