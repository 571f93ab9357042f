// Rotation interpolation: the Kochanek rotation spline and a whole trajectory
// evaluated on the figure-eight keyframes, against VTK's own quaternion
// interpolator in linear (slerp) mode on the same keys as the reference.

#include "KeyFrameTables.h"
#include "Quaternion.h"
#include "vtkKochanekRotationSpline.h"
#include "vtkTrajectory.h"

#include "vtkQuaternion.h"
#include "vtkQuaternionInterpolator.h"
#include "vtkSmartPointer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
const float ZAxis[3] = { 0.0f, 0.0f, 1.0f };

Quaternion KeyRotation(int i)
{
  Quaternion q;
  q.SetAngleAxis(FigureEightTable[i].Angle, ZAxis);
  return q;
}

// Times spread evenly over the closed path [0, 8).
std::vector<float> SampleTimes()
{
  std::vector<float> times(320);
  for (int i = 0; i < 320; ++i)
  {
    times[i] = i * (8.0f / 320);
  }
  return times;
}

void KochanekRotationSplineEvaluate(benchmark::State& state)
{
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  for (int i = 0; i < 8; ++i)
  {
    spline->AddPoint(FigureEightTable[i].Time, KeyRotation(i));
  }
  spline->ClosedOn();
  spline->Evaluate(0.0f); // controls up to date from here on
  const std::vector<float> times = SampleTimes();
  size_t k = 0;
  for (auto _ : state)
  {
    Quaternion q = spline->Evaluate(times[k]);
    benchmark::DoNotOptimize(q);
    k = (k + 1) % times.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(KochanekRotationSplineEvaluate);

void TrajectoryEvaluate(benchmark::State& state)
{
  vtkSmartPointer<vtkTrajectory> trajectory = vtkSmartPointer<vtkTrajectory>::New();
  for (const KeyFrameRow& key : FigureEightTable)
  {
    trajectory->AddKeyFrame(key.Time, key.X, key.Y, key.Z, key.Angle, ZAxis);
  }
  trajectory->ClosedOn();
  float x, y, z, angle, axis[3];
  trajectory->Evaluate(0.0f, x, y, z, angle, axis);
  const std::vector<float> times = SampleTimes();
  size_t k = 0;
  for (auto _ : state)
  {
    trajectory->Evaluate(times[k], x, y, z, angle, axis);
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(angle);
    benchmark::DoNotOptimize(axis);
    k = (k + 1) % times.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TrajectoryEvaluate);

// The reference: slerp between the same keys, with key 0 repeated at time 8
// to close the path as the rotation spline does.
void VtkQuaternionInterpolatorLinear(benchmark::State& state)
{
  vtkSmartPointer<vtkQuaternionInterpolator> interpolator =
    vtkSmartPointer<vtkQuaternionInterpolator>::New();
  interpolator->SetInterpolationTypeToLinear();
  for (int i = 0; i <= 8; ++i)
  {
    const Quaternion q = KeyRotation(i % 8);
    interpolator->AddQuaternion(i, vtkQuaterniond(q.W, q.X, q.Y, q.Z));
  }
  const std::vector<float> times = SampleTimes();
  vtkQuaterniond q;
  size_t k = 0;
  for (auto _ : state)
  {
    interpolator->InterpolateQuaternion(times[k], q);
    benchmark::DoNotOptimize(q);
    k = (k + 1) % times.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(VtkQuaternionInterpolatorLinear);
}

BENCHMARK_MAIN();
