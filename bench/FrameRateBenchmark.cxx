/*=========================================================================

  Program:   Fish animation programs
  Module:    FrameRateBenchmark.cxx

=========================================================================*/
// Frame rate of pelagrin-eight: a tool run by hand, not a test.
//
// It runs the real program (its own entry source, main renamed ProgramMain)
// on the display, with an interactor whose Start returns at once, through
// all its animation cycles, and times every frame. It does so twice in one
// run: first with the window's multisamples held at the toolkit's default
// whatever the program asks, then as the program draws (without
// multisampling on a software OpenGL renderer), and sets the two side by
// side with the render-only bound of the second. Observers on the window
// and on the fish pipeline's algorithms split the frame into
//   (a) the project's own per-frame work: the time between the end of one
//       render and the start of the next (title, trajectory, amplitude, pose
//       rebuild) plus the shape filter's execution inside the render;
//   (b) VTK's filters: the pose filter, the two thresholds and the surface
//       extraction inside the two data-set mappers;
//   (c) the drawing: the rest of the render.
// When the program hands the window over, the same scene, now static, is
// rendered a few hundred times: the render-only bound. As the load of a
// shared machine drifts over the minutes of a run, the bound is also taken
// between the frames: every few frames the window is rendered once more,
// unchanged, so that frames and bound see the same load.
//
// Usage, from a build tree (Release) on a display, e.g. a virtual one:
//   cmake --build <build> --target FrameRateBenchmark
//   Xvfb :58 -screen 0 1280x1024x24 -nolisten tcp &
//   DISPLAY=:58 <build>/bench/FrameRateBenchmark [options]
//   kill <the Xvfb's process id>
// Options:
//   --run-dir DIR        directory with the data files (default: the build's
//                        run directory)
//   --warm-up N          animation frames left out of the figures (default 20)
//   --static-renders N   renders of the static scene after the animation
//                        (default 300)
//   --interleave N       one unchanged render after every N-th animation
//                        frame, 0 for none (default 8)
//   --help               this text
// The machine is shared and noisy: compare the ratios of one run, and run it
// more than once.

#include "ProgramHarness.h"

#include "vtkAbstractTransform.h"
#include "vtkActor.h"
#include "vtkActorCollection.h"
#include "vtkAlgorithm.h"
#include "vtkCommand.h"
#include "vtkDataSet.h"
#include "vtkDataSetMapper.h"
#include "vtkNew.h"
#include "vtkOpenGLRenderWindow.h"
#include "vtkOpenGLState.h"
#include "vtkPolyDataMapper.h"
#include "vtkRenderWindow.h"
#include "vtkRenderer.h"
#include "vtkSmartPointer.h"
#include "vtkTransformPolyDataFilter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#ifndef PELAGRIN_RUN_DIR
#define PELAGRIN_RUN_DIR "."
#endif

namespace
{
const char* const Usage =
  "FrameRateBenchmark: frame rate of pelagrin-eight, with the split of frame time between\n"
  "the project's own per-frame work, VTK's filters and the drawing, beside the render-only\n"
  "bound (the same scene, static); once with the toolkit's multisampling kept and once as\n"
  "the program draws. Run by hand on a display, e.g. a virtual one:\n"
  "  Xvfb :58 -screen 0 1280x1024x24 -nolisten tcp &\n"
  "  DISPLAY=:58 <build>/bench/FrameRateBenchmark [options]\n"
  "  kill <the Xvfb's process id>\n"
  "Options:\n"
  "  --run-dir DIR        directory with the data files (default: " PELAGRIN_RUN_DIR ")\n"
  "  --warm-up N          animation frames left out of the figures (default 20)\n"
  "  --static-renders N   renders of the static scene after the animation (default 300)\n"
  "  --interleave N       one unchanged render after every N-th animation frame, 0 for\n"
  "                       none (default 8)\n"
  "  --help               this text\n";

struct Options
{
  std::string RunDirectory = PELAGRIN_RUN_DIR;
  int WarmUpFrames = 20;
  int StaticRenders = 300;
  int Interleave = 8;
  // The program's frames per cycle: one per path sample, 40 per keyframe.
  int FramesPerCycle = 320;
};

double Now()
{
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The observed algorithms, by what they are in the frame.
enum Stage
{
  ShapeStage,
  PoseStage,
  ThresholdStage,
  SurfaceStage,
  NumberOfStages
};

// One render and the work before it, in seconds.
struct FrameRecord
{
  double Period = 0;             // end of the previous render to end of this one
  double TitleAndTrajectory = 0; // end of the previous render to SetAmplitude
  double AmplitudeAndPose = 0;   // SetAmplitude to the last pose change
  double RenderPrologue = 0;     // last pose change to the render's StartEvent
  double Render = 0;             // StartEvent to EndEvent of the window
  std::array<double, NumberOfStages> Stages{};
  std::array<int, NumberOfStages> Runs{};

  double Gap() const { return this->Period - this->Render; }
  double Filters() const
  {
    return this->Stages[PoseStage] + this->Stages[ThresholdStage] + this->Stages[SurfaceStage];
  }
  double Drawing() const { return this->Render - this->Stages[ShapeStage] - this->Filters(); }
  double OwnWork() const { return this->Gap() + this->Stages[ShapeStage]; }
};

// Runs a function on each event it observes.
class FunctionCommand : public vtkCommand
{
public:
  static FunctionCommand* New() { return new FunctionCommand; }
  void Execute(vtkObject*, unsigned long event, void*) override { this->Function(event); }
  std::function<void(unsigned long)> Function;
};

void Observe(vtkObject* subject, unsigned long event, float priority,
  std::function<void(unsigned long)> function)
{
  vtkNew<FunctionCommand> command;
  command->Function = std::move(function);
  subject->AddObserver(event, command, priority);
}

// The fish pipeline as the program built it, found from the scene.
struct FishPipeline
{
  vtkAlgorithm* ShapeFilter = nullptr;
  vtkAlgorithm* PoseFilter = nullptr;
  std::vector<vtkAlgorithm*> Thresholds;
  std::vector<vtkAlgorithm*> SurfaceFilters;
};

bool IsA(vtkObject* object, const char* className)
{
  return object && object->IsA(className);
}

// Mapper -> threshold -> pose filter -> shape filter, for both fish actors;
// the surface extraction is the input of each data-set mapper's internal
// poly data mapper, which exists once the mapper has rendered.
bool FindFishPipeline(vtkRenderer* renderer, FishPipeline& fish)
{
  vtkActorCollection* actors = renderer->GetActors();
  actors->InitTraversal();
  while (vtkActor* actor = actors->GetNextActor())
  {
    auto* mapper = vtkDataSetMapper::SafeDownCast(actor->GetMapper());
    if (!mapper || !mapper->GetPolyDataMapper())
    {
      continue;
    }
    vtkAlgorithm* surface = mapper->GetPolyDataMapper()->GetInputAlgorithm();
    vtkAlgorithm* threshold = mapper->GetInputAlgorithm();
    vtkAlgorithm* pose = threshold ? threshold->GetInputAlgorithm() : nullptr;
    vtkAlgorithm* shape = pose ? pose->GetInputAlgorithm() : nullptr;
    if (!IsA(surface, "vtkDataSetSurfaceFilter") || !IsA(threshold, "vtkThreshold") ||
      !IsA(pose, "vtkTransformPolyDataFilter") || !IsA(shape, "vtkTransformPolyDataFilter") ||
      !IsA(static_cast<vtkTransformPolyDataFilter*>(shape)->GetTransform(), "vtkShapeTransform"))
    {
      continue;
    }
    fish.ShapeFilter = shape;
    fish.PoseFilter = pose;
    fish.Thresholds.push_back(threshold);
    fish.SurfaceFilters.push_back(surface);
  }
  return fish.Thresholds.size() == 2;
}

enum class Phase
{
  Program,
  Interleaved,
  Static
};

// Collects the timings from the observers.
class FrameClock
{
public:
  // Every interleave-th animation frame after the warm-up, the window is
  // rendered once more at once, unchanged: a render-only measure taken under
  // the same load as the frames around it.
  FrameClock(int warmUpFrames, int interleave)
    : WarmUpFrames(warmUpFrames)
    , Interleave(interleave)
  {
  }

  void Attach(vtkRenderWindow* window, const FishPipeline& fish)
  {
    this->Window = window;
    // The window's observers run before (start) and after (end) any other
    // observer, so that the render's own time is all that lies between them.
    Observe(
      window, vtkCommand::StartEvent, 1000.0f, [this](unsigned long) { this->RenderStarted(); });
    Observe(window, vtkCommand::EndEvent, -1000.0f, [this](unsigned long) { this->RenderEnded(); });

    auto* shape = static_cast<vtkTransformPolyDataFilter*>(fish.ShapeFilter);
    Observe(shape->GetTransform(), vtkCommand::ModifiedEvent, 0.0f,
      [this](unsigned long) { this->AmplitudeSet = Now(); });
    auto* pose = static_cast<vtkTransformPolyDataFilter*>(fish.PoseFilter);
    Observe(pose->GetTransform(), vtkCommand::ModifiedEvent, 0.0f,
      [this](unsigned long) { this->PoseChanged = Now(); });

    this->ObserveStage(fish.ShapeFilter, ShapeStage);
    this->ObserveStage(fish.PoseFilter, PoseStage);
    for (vtkAlgorithm* threshold : fish.Thresholds)
    {
      this->ObserveStage(threshold, ThresholdStage);
    }
    for (vtkAlgorithm* surface : fish.SurfaceFilters)
    {
      this->ObserveStage(surface, SurfaceStage);
    }
  }

  void StartStatic() { this->CurrentPhase = Phase::Static; }

  const std::vector<FrameRecord>& GetAnimationFrames() const { return this->AnimationFrames; }
  const std::vector<FrameRecord>& GetInterleavedFrames() const { return this->InterleavedFrames; }
  const std::vector<FrameRecord>& GetStaticFrames() const { return this->StaticFrames; }
  bool StagesOverlapped() const { return this->Overlaps > 0; }

private:
  void ObserveStage(vtkAlgorithm* algorithm, Stage stage)
  {
    auto start = std::make_shared<double>(0.0);
    Observe(algorithm, vtkCommand::StartEvent, 0.0f,
      [this, start](unsigned long)
      {
        this->Overlaps += this->RunningStages > 0;
        ++this->RunningStages;
        *start = Now();
      });
    Observe(algorithm, vtkCommand::EndEvent, 0.0f,
      [this, start, stage](unsigned long)
      {
        --this->RunningStages;
        this->Current.Stages[stage] += Now() - *start;
        ++this->Current.Runs[stage];
      });
  }

  // A render of the animation loop is one that follows a change of the
  // amplitude; the program's other renders only move the clock on.
  void RenderStarted()
  {
    const double now = Now();
    const double lastEnd = this->LastRenderEnd;
    this->Current = FrameRecord();
    this->InFrame = this->CurrentPhase != Phase::Program || this->AmplitudeSet > lastEnd;
    if (this->CurrentPhase == Phase::Program && this->InFrame &&
      this->PoseChanged > this->AmplitudeSet)
    {
      this->Current.TitleAndTrajectory = this->AmplitudeSet - lastEnd;
      this->Current.AmplitudeAndPose = this->PoseChanged - this->AmplitudeSet;
      this->Current.RenderPrologue = now - this->PoseChanged;
    }
    this->RenderStart = now;
  }

  void RenderEnded()
  {
    const double now = Now();
    if (this->RenderStart == 0)
    {
      return;
    }
    this->Current.Render = now - this->RenderStart;
    this->Current.Period = this->LastRenderEnd > 0 ? now - this->LastRenderEnd : 0;
    const bool recorded = this->InFrame && this->LastRenderEnd > 0;
    if (recorded)
    {
      this->FramesOf(this->CurrentPhase).push_back(this->Current);
    }
    this->LastRenderEnd = now;
    this->RenderStart = 0;
    if (recorded && this->CurrentPhase == Phase::Program && this->IsInterleaveFrame())
    {
      this->CurrentPhase = Phase::Interleaved;
      this->Window->Render();
      this->CurrentPhase = Phase::Program;
    }
  }

  bool IsInterleaveFrame() const
  {
    const int frames = static_cast<int>(this->AnimationFrames.size());
    return this->Interleave > 0 && frames > this->WarmUpFrames && frames % this->Interleave == 0;
  }

  std::vector<FrameRecord>& FramesOf(Phase phase)
  {
    switch (phase)
    {
      case Phase::Interleaved:
        return this->InterleavedFrames;
      case Phase::Static:
        return this->StaticFrames;
      default:
        return this->AnimationFrames;
    }
  }

  const int WarmUpFrames;
  const int Interleave;
  vtkRenderWindow* Window = nullptr;
  Phase CurrentPhase = Phase::Program;
  bool InFrame = false;
  FrameRecord Current;
  double RenderStart = 0;
  double LastRenderEnd = 0;
  double AmplitudeSet = 0;
  double PoseChanged = 0;
  int RunningStages = 0;
  int Overlaps = 0;
  std::vector<FrameRecord> AnimationFrames;
  std::vector<FrameRecord> InterleavedFrames;
  std::vector<FrameRecord> StaticFrames;
};

//------------------------------------------------------------------------------
using FrameSpan =
  std::pair<std::vector<FrameRecord>::const_iterator, std::vector<FrameRecord>::const_iterator>;

FrameSpan After(const std::vector<FrameRecord>& frames, int skipped)
{
  return { frames.begin() + std::min(skipped, static_cast<int>(frames.size())), frames.end() };
}

int CountOf(const FrameSpan& span)
{
  return static_cast<int>(span.second - span.first);
}

// Sums of the records, in seconds.
FrameRecord Sum(const FrameSpan& span)
{
  FrameRecord sum;
  for (auto frame = span.first; frame != span.second; ++frame)
  {
    sum.Period += frame->Period;
    sum.TitleAndTrajectory += frame->TitleAndTrajectory;
    sum.AmplitudeAndPose += frame->AmplitudeAndPose;
    sum.RenderPrologue += frame->RenderPrologue;
    sum.Render += frame->Render;
    for (int s = 0; s < NumberOfStages; ++s)
    {
      sum.Stages[s] += frame->Stages[s];
      sum.Runs[s] += frame->Runs[s];
    }
  }
  return sum;
}

// Mean, median and tenth percentile of the frame periods, in seconds. On a
// shared machine the load comes and goes: the median and the fastest tenth
// are less disturbed by it than the mean.
struct PeriodFigures
{
  double Mean = 0;
  double Median = 0;
  double FastestTenth = 0;
};

PeriodFigures FiguresOf(const FrameSpan& span)
{
  std::vector<double> periods;
  for (auto frame = span.first; frame != span.second; ++frame)
  {
    periods.push_back(frame->Period);
  }
  PeriodFigures figures;
  if (periods.empty())
  {
    return figures;
  }
  std::sort(periods.begin(), periods.end());
  for (double period : periods)
  {
    figures.Mean += period / periods.size();
  }
  figures.Median = periods[periods.size() / 2];
  figures.FastestTenth = periods[periods.size() / 10];
  return figures;
}

void PrintFigures(const char* label, int count, const PeriodFigures& figures)
{
  std::printf("%s: %d frames, %.1f frames/s; ms a frame: mean %.3f, median %.3f, "
              "fastest tenth %.3f\n",
    label, count, 1.0 / figures.Mean, 1000.0 * figures.Mean, 1000.0 * figures.Median,
    1000.0 * figures.FastestTenth);
}

void PrintLine(const char* label, double total, int frames, double frameTotal)
{
  std::printf(
    "  %-42s %8.3f ms %6.2f %%\n", label, 1000.0 * total / frames, 100.0 * total / frameTotal);
}

void PrintRatio(const char* label, const PeriodFigures& frame, const PeriodFigures& bound)
{
  if (bound.Mean == 0)
  {
    return;
  }
  const double median = frame.Median / bound.Median;
  std::printf("full frame / render-only bound %s: mean %.3f, median %.3f, fastest tenth %.3f "
              "(goal: at most 1.3; median %s)\n",
    label, frame.Mean / bound.Mean, median, frame.FastestTenth / bound.FastestTenth,
    median <= 1.3 ? "met" : "MISSED");
}

void ReportCycles(const std::vector<FrameRecord>& frames, int framesPerCycle)
{
  std::printf("frames/s per cycle of %d frames:", framesPerCycle);
  for (size_t begin = 0; begin + framesPerCycle <= frames.size(); begin += framesPerCycle)
  {
    const FrameRecord sum =
      Sum({ frames.begin() + begin, frames.begin() + begin + framesPerCycle });
    std::printf(" %.1f", framesPerCycle / sum.Period);
  }
  std::printf("\n");
}

// The figures that the two runs are compared by.
struct RunFigures
{
  PeriodFigures Animation;
  PeriodFigures StaticBound;
  int MultiSamples = 0;
  std::string OpenGLRenderer;
};

// Returns false when there is nothing to report.
bool Report(
  const FrameClock& clock, const Options& options, vtkIdType fishCells, RunFigures& figures)
{
  const FrameSpan animation = After(clock.GetAnimationFrames(), options.WarmUpFrames);
  const int count = CountOf(animation);
  if (count == 0)
  {
    std::fprintf(stderr, "FrameRateBenchmark: no animation frame was measured\n");
    return false;
  }
  const FrameRecord sum = Sum(animation);
  const double frame = sum.Period;
  const PeriodFigures animationFigures = FiguresOf(animation);

  std::printf("pelagrin-eight, fish of %lld cells, %d multisamples on %s; the first %d "
              "animation frames left out\n",
    static_cast<long long>(fishCells), figures.MultiSamples, figures.OpenGLRenderer.c_str(),
    options.WarmUpFrames);
  figures.Animation = animationFigures;
  PrintFigures("animation", count, animationFigures);
  std::printf("  split of the mean frame:\n");
  PrintLine("(a) project's own per-frame work", sum.OwnWork(), count, frame);
  PrintLine("    between renders, all of it", sum.Gap(), count, frame);
  PrintLine("      title and trajectory", sum.TitleAndTrajectory, count, frame);
  PrintLine("      amplitude and pose rebuild", sum.AmplitudeAndPose, count, frame);
  PrintLine("      render prologue (VTK: X window query)", sum.RenderPrologue, count, frame);
  PrintLine("    shape filter execution", sum.Stages[ShapeStage], count, frame);
  PrintLine("(b) VTK's filters", sum.Filters(), count, frame);
  PrintLine("    pose filter", sum.Stages[PoseStage], count, frame);
  PrintLine("    thresholds (2)", sum.Stages[ThresholdStage], count, frame);
  PrintLine("    mappers' surface extraction (2)", sum.Stages[SurfaceStage], count, frame);
  PrintLine("(c) drawing", sum.Drawing(), count, frame);
  std::printf("  executions a frame: shape filter %.2f, pose filter %.2f, thresholds %.2f, "
              "surface extraction %.2f\n",
    double(sum.Runs[ShapeStage]) / count, double(sum.Runs[PoseStage]) / count,
    double(sum.Runs[ThresholdStage]) / count, double(sum.Runs[SurfaceStage]) / count);
  ReportCycles(clock.GetAnimationFrames(), options.FramesPerCycle);

  // The first static render follows the program's hand-over to the
  // interactor.
  const FrameSpan still = After(clock.GetStaticFrames(), 1);
  const PeriodFigures stillFigures = FiguresOf(still);
  figures.StaticBound = stillFigures;
  if (CountOf(still) > 0)
  {
    PrintFigures(
      "render-only bound, the scene static after the animation", CountOf(still), stillFigures);
    const FrameRecord stillSum = Sum(still);
    const int stillCount = CountOf(still);
    PrintLine("render", stillSum.Render, stillCount, stillSum.Period);
    PrintLine("filters (none should run)", stillSum.Filters() + stillSum.Stages[ShapeStage],
      stillCount, stillSum.Period);
  }
  const FrameSpan interleaved = After(clock.GetInterleavedFrames(), 0);
  const PeriodFigures interleavedFigures = FiguresOf(interleaved);
  if (CountOf(interleaved) > 0)
  {
    PrintFigures("render-only bound, unchanged renders between the frames", CountOf(interleaved),
      interleavedFigures);
    const FrameRecord interleavedSum = Sum(interleaved);
    std::printf("  drawing of a frame beyond an unchanged render: %.3f ms\n",
      1000.0 * (sum.Drawing() / count - interleavedSum.Render / CountOf(interleaved)));
  }

  PrintRatio("(static after)", animationFigures, stillFigures);
  PrintRatio("(interleaved)", animationFigures, interleavedFigures);
  const double ownShare = 100.0 * sum.OwnWork() / frame;
  std::printf("project's own work: %.2f %% of the mean frame (goal: under 2 %%; %s)\n", ownShare,
    ownShare < 2.0 ? "met" : "MISSED");
  if (clock.StagesOverlapped())
  {
    std::printf("warning: observed filters ran inside one another; the split counts that time "
                "twice\n");
  }
  return true;
}

//------------------------------------------------------------------------------
bool ParseOptions(int argc, char* argv[], Options& options)
{
  for (int i = 1; i < argc; ++i)
  {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--run-dir" && hasValue)
    {
      options.RunDirectory = argv[++i];
    }
    else if (argument == "--warm-up" && hasValue)
    {
      options.WarmUpFrames = std::max(0, std::atoi(argv[++i]));
    }
    else if (argument == "--static-renders" && hasValue)
    {
      options.StaticRenders = std::max(1, std::atoi(argv[++i]));
    }
    else if (argument == "--interleave" && hasValue)
    {
      options.Interleave = std::max(0, std::atoi(argv[++i]));
    }
    else
    {
      return false;
    }
  }
  return true;
}
} // namespace

//------------------------------------------------------------------------------
// Runs the program once, with the window's multisamples pinned to `pinned`
// (or, for -1, left to the program), and reports the run.
bool MeasureRun(const Options& options, int pinned, const char* title, RunFigures& figures)
{
  std::printf("\n== %s\n", title);
  std::fflush(stdout);
  FrameClock clock(options.WarmUpFrames, options.Interleave);
  bool attached = false;
  vtkIdType fishCells = 0;
  ProgramHooks hooks;
  hooks.PinnedMultiSamples = pinned;
  // The first render that shows the fish has built the whole pipeline,
  // including the mappers' internal surface extraction.
  hooks.OnRender = [&](vtkRenderWindow* window, int)
  {
    FishPipeline fish;
    if (attached || !FindFishPipeline(FindSceneRenderer(window), fish))
    {
      return;
    }
    clock.Attach(window, fish);
    fishCells =
      vtkDataSet::SafeDownCast(fish.PoseFilter->GetOutputDataObject(0))->GetNumberOfCells();
    attached = true;
  };
  hooks.OnStart = [&](vtkRenderWindowInteractor* interactor)
  {
    clock.StartStatic();
    vtkRenderWindow* window = interactor->GetRenderWindow();
    figures.MultiSamples = window->GetMultiSamples();
    auto* openGLWindow = vtkOpenGLRenderWindow::SafeDownCast(window);
    figures.OpenGLRenderer = openGLWindow && openGLWindow->GetState()
      ? openGLWindow->GetState()->GetRenderer()
      : "an unknown renderer";
    for (int i = 0; i <= options.StaticRenders; ++i)
    {
      window->Render();
    }
  };

  const int status = RunProgram(hooks, options.RunDirectory);
  if (status != 0 || !attached)
  {
    std::fprintf(stderr, "FrameRateBenchmark: the program returned %d%s\n", status,
      attached ? "" : " before the fish pipeline could be observed");
    return false;
  }
  return Report(clock, options, fishCells, figures);
}

// The two runs side by side: what dropping multisampling on a software
// renderer gains, and how close the frame comes to drawing alone.
void Compare(const RunFigures& multisampled, const RunFigures& program)
{
  std::printf("\n== side by side\n");
  std::printf("%-52s %10s %10s\n", "", "frames/s", "ms median");
  const auto row = [](const char* label, const PeriodFigures& figures)
  { std::printf("%-52s %10.1f %10.3f\n", label, 1.0 / figures.Mean, 1000.0 * figures.Median); };
  char label[128];
  std::snprintf(label, sizeof(label), "frame, the toolkit's multisampling (%d samples)",
    multisampled.MultiSamples);
  row(label, multisampled.Animation);
  std::snprintf(
    label, sizeof(label), "frame as the program draws (%d multisamples)", program.MultiSamples);
  row(label, program.Animation);
  std::snprintf(label, sizeof(label), "render-only bound, %d multisamples", program.MultiSamples);
  row(label, program.StaticBound);
  const double speedUp = multisampled.Animation.Mean / program.Animation.Mean;
  std::printf("frames/s as the program draws / with %d multisamples: %.2f (goal: at least 2; %s)\n",
    multisampled.MultiSamples, speedUp, speedUp >= 2.0 ? "met" : "MISSED");
  if (program.StaticBound.Median > 0)
  {
    const double bound = program.Animation.Median / program.StaticBound.Median;
    std::printf("full frame / render-only bound as the program draws, median: %.3f (goal: at "
                "most 1.3; %s)\n",
      bound, bound <= 1.3 ? "met" : "MISSED");
  }
}

//------------------------------------------------------------------------------
int main(int argc, char* argv[])
{
  Options options;
  if (!ParseOptions(argc, argv, options))
  {
    const bool help = argc > 1 && std::strcmp(argv[1], "--help") == 0;
    std::fputs(Usage, help ? stdout : stderr);
    return help ? 0 : 2;
  }
  if (!std::getenv("DISPLAY"))
  {
    std::fprintf(stderr, "FrameRateBenchmark: no DISPLAY; run it on a display (see --help)\n");
    return 2;
  }

  // The toolkit's own choice, as every frame was drawn before the program
  // looked at the renderer.
  const int toolkitSamples = vtkSmartPointer<vtkRenderWindow>::New()->GetMultiSamples();
  RunFigures multisampled, program;
  if (!MeasureRun(options, toolkitSamples, "the toolkit's multisampling kept", multisampled) ||
    !MeasureRun(options, -1, "as the program draws", program))
  {
    return 1;
  }
  Compare(multisampled, program);
  return 0;
}
