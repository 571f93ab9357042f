/*=========================================================================

  Program:   Fish animation programs
  Module:    ProgramHarness.cxx

=========================================================================*/
#include "ProgramHarness.h"

#include "vtkActor.h"
#include "vtkCallbackCommand.h"
#include "vtkCommand.h"
#include "vtkImageActor.h"
#include "vtkMapper.h"
#include "vtkNew.h"
#include "vtkObjectFactory.h"
#include "vtkPropCollection.h"
#include "vtkRenderWindow.h"
#include "vtkRendererCollection.h"
#include "vtkVersion.h"
#include "vtkXOpenGLRenderWindow.h"

#include <stdexcept>
#include <unistd.h>

namespace
{
ProgramHooks CurrentHooks;
// While the program's main runs; outside it every render draws.
bool ProgramRunning = false;
// While a hook runs: the renders it asks for are the test's own.
bool InHook = false;
// While the interactor initialises: its render is not one of the program's.
bool InteractorRendering = false;
// Animation frames the program has rendered so far.
int AnimationFrames = 0;

// A render the program asks for itself, not the test or the interactor.
bool IsProgramRender()
{
  return ProgramRunning && !InHook && !InteractorRendering;
}

// Runs a hook; the renders it asks for are not the program's.
template <typename THook, typename... TArgs>
void CallHook(const THook& hook, TArgs... args)
{
  if (hook)
  {
    InHook = true;
    hook(args...);
    InHook = false;
  }
}

void ForwardRender(vtkObject* caller, unsigned long, void*, void*)
{
  if (!IsProgramRender())
  {
    return;
  }
  auto* window = static_cast<vtkRenderWindow*>(caller);
  const int frame = IsFrameTitle(window->GetWindowName()) ? AnimationFrames - 1 : -1;
  CallHook(CurrentHooks.OnRender, window, frame);
}

// Counts the program's animation frames as their renders begin and says
// whether this one is drawn.
bool DrawsThisRender(vtkRenderWindow* window)
{
  if (!IsProgramRender() || !IsFrameTitle(window->GetWindowName()))
  {
    return true;
  }
  const int frame = AnimationFrames++;
  return !CurrentHooks.DrawFrame || CurrentHooks.DrawFrame(frame);
}

// What a render does to the data: every visible actor's mapper brings its
// input up to date, which runs the fish pipeline with the frame's amplitude
// and pose.
void UpdateWithoutDrawing(vtkRenderWindow* window)
{
  vtkRendererCollection* renderers = window->GetRenderers();
  renderers->InitTraversal();
  while (vtkRenderer* renderer = renderers->GetNextItem())
  {
    vtkPropCollection* props = renderer->GetViewProps();
    props->InitTraversal();
    while (vtkProp* prop = props->GetNextProp())
    {
      auto* actor = vtkActor::SafeDownCast(prop);
      if (actor && actor->GetVisibility() && actor->GetMapper())
      {
        actor->GetMapper()->Update();
      }
    }
  }
}
} // namespace

// An interactor without an event loop: it reports renders and hands the
// scene to the test instead of waiting for the user.
class HarnessInteractor : public vtkRenderWindowInteractor
{
public:
  static HarnessInteractor* New();
  vtkTypeMacro(HarnessInteractor, vtkRenderWindowInteractor);

  // The window initialises its interactor at its first render after the two
  // have been joined: from then on the test sees every render.
  void Initialize() override
  {
    if (this->RenderWindow && !this->WatchingRenders)
    {
      vtkNew<vtkCallbackCommand> onRender;
      onRender->SetCallback(ForwardRender);
      this->RenderWindow->AddObserver(vtkCommand::EndEvent, onRender);
      this->WatchingRenders = true;
    }
    InteractorRendering = true;
    this->Superclass::Initialize();
    InteractorRendering = false;
  }

  void Start() override { CallHook(CurrentHooks.OnStart, this); }

protected:
  HarnessInteractor() = default;
  bool WatchingRenders = false;
};
vtkStandardNewMacro(HarnessInteractor);

// VTK's X window, which draws only the animation frames that the test asks
// for and can keep its multisamples whatever the program sets.
class HarnessRenderWindow : public vtkXOpenGLRenderWindow
{
public:
  static HarnessRenderWindow* New();
  vtkTypeMacro(HarnessRenderWindow, vtkXOpenGLRenderWindow);

  void Render() override
  {
    if (DrawsThisRender(this))
    {
      this->Superclass::Render();
      return;
    }
    this->InvokeEvent(vtkCommand::StartEvent, nullptr);
    UpdateWithoutDrawing(this);
    this->InvokeEvent(vtkCommand::EndEvent, nullptr);
  }

  void SetMultiSamples(int samples) override
  {
    const int pinned = CurrentHooks.PinnedMultiSamples;
    this->Superclass::SetMultiSamples(pinned >= 0 ? pinned : samples);
  }

protected:
  HarnessRenderWindow() { this->SetMultiSamples(this->MultiSamples); }
};
vtkStandardNewMacro(HarnessRenderWindow);

namespace
{
class HarnessFactory : public vtkObjectFactory
{
public:
  static HarnessFactory* New()
  {
    auto* factory = new HarnessFactory;
    factory->InitializeObjectBase();
    return factory;
  }
  const char* GetVTKSourceVersion() override { return VTK_SOURCE_VERSION; }
  const char* GetDescription() override { return "Program test harness"; }

protected:
  HarnessFactory()
  {
    this->RegisterOverride("vtkRenderWindowInteractor", "HarnessInteractor",
      "Interactor without event loop", 1, []() -> vtkObject* { return HarnessInteractor::New(); });
    this->RegisterOverride("vtkRenderWindow", "HarnessRenderWindow",
      "Window that draws the frames a test reads", 1,
      []() -> vtkObject* { return HarnessRenderWindow::New(); });
  }
};

void RegisterHarnessOnce()
{
  static bool registered = false;
  if (registered)
  {
    return;
  }
  vtkNew<HarnessFactory> factory;
  vtkObjectFactory::RegisterFactory(factory);
  // The X interactor and window registered by VTK's module initialisation
  // would win otherwise.
  for (const char* overridden : { "vtkRenderWindowInteractor", "vtkRenderWindow" })
  {
    vtkObjectFactory::SetAllEnableFlags(0, overridden);
  }
  vtkObjectFactory::SetAllEnableFlags(1, "vtkRenderWindowInteractor", "HarnessInteractor");
  vtkObjectFactory::SetAllEnableFlags(1, "vtkRenderWindow", "HarnessRenderWindow");
  registered = true;
}

vtkRenderer* FindRenderer(vtkRenderWindow* window, bool holdingPicture)
{
  vtkRendererCollection* renderers = window->GetRenderers();
  renderers->InitTraversal();
  while (vtkRenderer* renderer = renderers->GetNextItem())
  {
    bool hasPicture = false;
    vtkPropCollection* props = renderer->GetViewProps();
    props->InitTraversal();
    while (vtkProp* prop = props->GetNextProp())
    {
      hasPicture = hasPicture || vtkImageActor::SafeDownCast(prop) != nullptr;
    }
    if (hasPicture == holdingPicture)
    {
      return renderer;
    }
  }
  return nullptr;
}
} // namespace

//------------------------------------------------------------------------------
int RunProgram(const ProgramHooks& hooks, const std::string& workingDirectory)
{
  RegisterHarnessOnce();
  CurrentHooks = hooks;
  AnimationFrames = 0;
  char previous[4096];
  if (!getcwd(previous, sizeof(previous)) || chdir(workingDirectory.c_str()) != 0)
  {
    throw std::runtime_error("cannot enter " + workingDirectory);
  }
  ProgramRunning = true;
  const int status = ProgramMain();
  ProgramRunning = false;
  if (chdir(previous) != 0)
  {
    throw std::runtime_error("cannot return to the previous directory");
  }
  CurrentHooks = ProgramHooks();
  return status;
}

//------------------------------------------------------------------------------
bool IsFrameTitle(const std::string& title)
{
  return title.size() >= 4 && title.find_first_not_of("0123456789") == std::string::npos;
}

//------------------------------------------------------------------------------
vtkRenderer* FindBackgroundRenderer(vtkRenderWindow* window)
{
  return FindRenderer(window, true);
}

//------------------------------------------------------------------------------
vtkRenderer* FindSceneRenderer(vtkRenderWindow* window)
{
  return FindRenderer(window, false);
}
