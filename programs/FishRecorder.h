/*=========================================================================

  Program:   Fish animation programs
  Module:    FishRecorder.h

=========================================================================*/
/**
 * pelagrin-record: a video of one of the five programs.
 *
 *   pelagrin-record PROGRAM OUTPUT [--cycles N] [--fps N]
 *
 * The program's own code runs (RunFishProgram with the program's row of the
 * settings table) for N cycles (default 1), drawing into a window that is
 * never shown, and without the interaction. After each frame the window's
 * pixels are read back and streamed as raw RGB through a pipe to ffmpeg,
 * which encodes them in its own process. OUTPUT's extension chooses the
 * format: .mp4 (H.264, yuv420p, fast start), .webm (VP9), .gif (a palette
 * made for the clip, looping; ffmpeg holds the whole clip until its palette
 * is made), or a name with a %d-style frame number ending .png for one
 * lossless PNG per frame, counted from 0. --fps sets the frame rate of the
 * video (default 60).
 *
 * Progress goes to standard error: one line kept up to date on a terminal,
 * a plain line every tenth of the way otherwise; at the end the file, its
 * frame count and size, and what a recorded frame cost beside the
 * program's own frame.
 *
 * Output is written under a temporary name beside OUTPUT and renamed when
 * ffmpeg has finished well, so that a failure, an interruption or a killed
 * encoder leaves no half-written file under OUTPUT's name.
 *
 * Exit status: 0 when written; 2 for a wrong command line (nothing is
 * drawn or written); 1 when ffmpeg is missing or fails, or no display can be
 * drawn on; the program's own status when its data files are broken (1 for
 * "fish.vtk", 255 for "fish.trc"); 130 (143) when interrupted by SIGINT
 * (SIGTERM).
 */

#ifndef FishRecorder_h
#define FishRecorder_h

/**
 * The recorder's whole command: arguments as main receives them, and the
 * exit status.
 */
int RecordFishProgram(int argc, char* argv[]);

#endif
