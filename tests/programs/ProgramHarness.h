/*=========================================================================

  Program:   Fish animation programs
  Module:    ProgramHarness.h

=========================================================================*/
/**
 * Runs a program's unmodified entry source inside a test. The entry's main
 * is compiled as ProgramMain (see tests/CMakeLists.txt). Two classes of the
 * harness replace VTK's through the object factory:
 *
 * - an interactor that lets the test watch every render of the window from
 *   the moment the program hands the window to it, and whose Start hands the
 *   whole scene to the test and returns at once instead of waiting for the
 *   user;
 * - a render window that can leave animation frames undrawn: such a frame
 *   still brings the pipeline up to date (the shape and pose filters, the
 *   thresholds, the mappers' inputs) and still reports its render, so every
 *   frame's title, amplitude and pose can be checked while only the frames
 *   whose pixels a check reads pay for drawing.
 */

#ifndef ProgramHarness_h
#define ProgramHarness_h

#include "vtkRenderWindowInteractor.h"

#include <functional>
#include <string>

class vtkRenderWindow;
class vtkRenderer;

int ProgramMain();

struct ProgramHooks
{
  // Called after every render that the program asks of its window, from the
  // first one after the creation of the interactor on. frame counts the
  // animation frames (renders with a frame number in the title) from 0 over
  // all cycles; it is -1 for the program's other renders. Renders that the
  // hooks themselves ask for are not reported.
  std::function<void(vtkRenderWindow*, int frame)> OnRender;
  // Called when the program starts the interactor; the program goes on to
  // its clean-up once this returns.
  std::function<void(vtkRenderWindowInteractor*)> OnStart;
  // Whether the window draws animation frame `frame` (counted as above).
  // Unset: every frame is drawn. The program's other renders and the
  // renders that the hooks ask for are always drawn.
  std::function<bool(int frame)> DrawFrame;
  // Multisamples the window keeps whatever the program asks for; -1 leaves
  // them to the program.
  int PinnedMultiSamples = -1;
};

/**
 * Registers the harness's interactor and render window (once per process)
 * and runs the program's main with these hooks in the given working
 * directory. Returns main's result.
 */
int RunProgram(const ProgramHooks& hooks, const std::string& workingDirectory = ".");

/**
 * Whether a window title is an animation frame's: four or more digits.
 */
bool IsFrameTitle(const std::string& title);

/**
 * The renderers of the window: the one that holds the background picture
 * and the one that holds the rest of the scene.
 */
vtkRenderer* FindBackgroundRenderer(vtkRenderWindow* window);
vtkRenderer* FindSceneRenderer(vtkRenderWindow* window);

#endif
