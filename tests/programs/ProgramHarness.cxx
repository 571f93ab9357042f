/*=========================================================================

  Program:   Fish animation programs
  Module:    ProgramHarness.cxx

=========================================================================*/
#include "ProgramHarness.h"

#include "vtkCallbackCommand.h"
#include "vtkCommand.h"
#include "vtkImageActor.h"
#include "vtkObjectFactory.h"
#include "vtkPropCollection.h"
#include "vtkRenderWindow.h"
#include "vtkRendererCollection.h"
#include "vtkVersion.h"

#include <stdexcept>
#include <unistd.h>

namespace
{
ProgramHooks CurrentHooks;
bool InteractorRendering = false;

void ForwardRender(vtkObject* caller, unsigned long, void*, void*)
{
  if (CurrentHooks.OnRender && !InteractorRendering)
  {
    CurrentHooks.OnRender(static_cast<vtkRenderWindow*>(caller));
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
    // The render of the interactor's own initialisation is not one of the
    // program's.
    InteractorRendering = true;
    this->Superclass::Initialize();
    InteractorRendering = false;
  }

  void Start() override
  {
    if (CurrentHooks.OnStart)
    {
      CurrentHooks.OnStart(this);
    }
  }

protected:
  HarnessInteractor() = default;
  bool WatchingRenders = false;
};
vtkStandardNewMacro(HarnessInteractor);

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
  const char* GetDescription() override { return "Test interactor without event loop"; }

protected:
  HarnessFactory()
  {
    this->RegisterOverride("vtkRenderWindowInteractor", "HarnessInteractor",
      "Test interactor without event loop", 1, &HarnessFactory::CreateInteractor);
  }
  static vtkObject* CreateInteractor() { return HarnessInteractor::New(); }
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
  // The X interactor registered by VTK's module initialisation would win
  // otherwise.
  vtkObjectFactory::SetAllEnableFlags(0, "vtkRenderWindowInteractor");
  vtkObjectFactory::SetAllEnableFlags(1, "vtkRenderWindowInteractor", "HarnessInteractor");
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
  char previous[4096];
  if (!getcwd(previous, sizeof(previous)) || chdir(workingDirectory.c_str()) != 0)
  {
    throw std::runtime_error("cannot enter " + workingDirectory);
  }
  const int status = ProgramMain();
  if (chdir(previous) != 0)
  {
    throw std::runtime_error("cannot return to the previous directory");
  }
  CurrentHooks = ProgramHooks();
  return status;
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
