/*=========================================================================

  Program:   Fish animation programs
  Module:    ProgramHarness.h

=========================================================================*/
/**
 * Runs a program's unmodified entry source inside a test. The entry's main
 * is compiled as ProgramMain (see tests/CMakeLists.txt). A small interactor
 * registered through the object factory replaces the window's interactor:
 * it lets the test watch every render of the window from the moment the
 * program hands the window to it, and its Start hands the whole scene to the
 * test and returns at once instead of waiting for the user.
 */

#ifndef ProgramHarness_h
#define ProgramHarness_h

#include "vtkRenderWindowInteractor.h"

#include <functional>
#include <string>

class vtkActor;
class vtkImageActor;
class vtkRenderWindow;
class vtkRenderer;

int ProgramMain();

struct ProgramHooks
{
  // Called after every render that the program asks of its window, from the
  // first one after the creation of the interactor on.
  std::function<void(vtkRenderWindow*)> OnRender;
  // Called when the program starts the interactor; the program goes on to
  // its clean-up once this returns.
  std::function<void(vtkRenderWindowInteractor*)> OnStart;
};

/**
 * Registers the test interactor (once per process) and runs the program's
 * main with these hooks in the given working directory. Returns main's
 * result.
 */
int RunProgram(const ProgramHooks& hooks, const std::string& workingDirectory = ".");

/**
 * The renderers of the window: the one that holds the background picture
 * and the one that holds the rest of the scene.
 */
vtkRenderer* FindBackgroundRenderer(vtkRenderWindow* window);
vtkRenderer* FindSceneRenderer(vtkRenderWindow* window);

#endif
