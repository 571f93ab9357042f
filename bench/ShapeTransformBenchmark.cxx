// The per-frame pass of vtkShapeTransform (rescaling cached displacements)
// beside the memory floor (a memcpy of the same point bytes) and VTK's
// vtkThinPlateSplineTransform with 32 landmarks over the same points.
// Compare the per-point times of one run. A bare loop over plain arrays that
// does the same arithmetic shows what reading two arrays and writing one
// costs on this machine, VTK aside.
#include "vtkShapeTransform.h"

#include "vtkFloatArray.h"
#include "vtkNew.h"
#include "vtkPointLocator.h"
#include "vtkPoints.h"
#include "vtkPolyData.h"
#include "vtkThinPlateSplineTransform.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace
{
constexpr int NumberOfLandmarks = 32;

// A fish-like cloud: points on an elongated ellipsoid, in a fixed order.
vtkNew<vtkPoints> MakeMesh(vtkIdType n)
{
  vtkNew<vtkPoints> points;
  points->SetNumberOfPoints(n);
  for (vtkIdType i = 0; i < n; ++i)
  {
    const double u = 6.283185307179586 * static_cast<double>(i) / static_cast<double>(n);
    const double v = 97.0 * u;
    points->SetPoint(i, 1.5 * std::cos(u) * std::cos(v) + 0.2, 0.3 * std::sin(v),
      0.4 * std::sin(u) * std::cos(v) - 0.2);
  }
  return points;
}

// Control points along the body axis, the landmarks of both deformations.
vtkNew<vtkPoints> MakeLandmarks(double shiftY)
{
  vtkNew<vtkPoints> points;
  for (int j = 0; j < NumberOfLandmarks; ++j)
  {
    const double x = -1.3 + 3.0 * j / (NumberOfLandmarks - 1);
    points->InsertNextPoint(x, 0.1 * std::sin(3.0 * x) + shiftY * x * x, 0.05 * (j % 3));
  }
  return points;
}

void ShapeTransformCachedPass(benchmark::State& state)
{
  const vtkIdType n = state.range(0);
  vtkNew<vtkPoints> mesh = MakeMesh(n);
  vtkNew<vtkPoints> controlPoints = MakeLandmarks(0.0);
  std::vector<float> cx(NumberOfLandmarks + 4, 0.0f);
  std::vector<float> cy(NumberOfLandmarks + 4, 0.0f);
  std::vector<float> cz(NumberOfLandmarks + 4, 0.0f);
  std::vector<int> index(NumberOfLandmarks);
  for (int j = 0; j < NumberOfLandmarks; ++j)
  {
    cy[j] = 0.02f * static_cast<float>(j % 5);
    index[j] = NumberOfLandmarks - 1 - j;
  }
  vtkNew<vtkPolyData> locatorData;
  locatorData->SetPoints(controlPoints);
  vtkNew<vtkPointLocator> locator;
  locator->SetDataSet(locatorData);
  locator->BuildLocator();

  vtkNew<vtkShapeTransform> transform;
  transform->SetDeformationData(
    0.8f, controlPoints, cx.data(), cy.data(), cz.data(), index.data(), locator);
  vtkNew<vtkPoints> out;
  transform->SetAmplitude(0.5f);
  transform->TransformPoints(mesh, out); // the computing pass fills the cache

  float amplitude = 0.0f;
  for (auto _ : state)
  {
    transform->SetAmplitude(amplitude);
    amplitude += 0.001f;
    out->Reset();
    transform->TransformPoints(mesh, out);
    benchmark::DoNotOptimize(out->GetData()->GetVoidPointer(0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void MemcpyFloor(benchmark::State& state)
{
  const vtkIdType n = state.range(0);
  vtkNew<vtkPoints> mesh = MakeMesh(n);
  const float* source = vtkFloatArray::FastDownCast(mesh->GetData())->GetPointer(0);
  std::vector<float> destination(static_cast<std::size_t>(3 * n));
  for (auto _ : state)
  {
    std::memcpy(destination.data(), source, sizeof(float) * 3 * n);
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BareRescaleLoop(benchmark::State& state)
{
  const std::size_t count = static_cast<std::size_t>(3 * state.range(0));
  std::vector<float> points(count, 1.0f);
  std::vector<float> displacements(count, 0.01f);
  std::vector<float> out(count);
  float amplitude = 0.0f;
  for (auto _ : state)
  {
    const float* __restrict p = points.data();
    const float* __restrict d = displacements.data();
    float* __restrict o = out.data();
    for (std::size_t k = 0; k < count; ++k)
    {
      o[k] = p[k] - amplitude * d[k];
    }
    amplitude += 0.001f;
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ThinPlateSpline(benchmark::State& state)
{
  const vtkIdType n = state.range(0);
  vtkNew<vtkPoints> mesh = MakeMesh(n);
  vtkNew<vtkPoints> source = MakeLandmarks(0.0);
  vtkNew<vtkPoints> target = MakeLandmarks(0.05);
  vtkNew<vtkThinPlateSplineTransform> transform;
  transform->SetSourceLandmarks(source);
  transform->SetTargetLandmarks(target);
  transform->Update();
  vtkNew<vtkPoints> out;
  for (auto _ : state)
  {
    out->Reset();
    transform->TransformPoints(mesh, out);
    benchmark::DoNotOptimize(out->GetData()->GetVoidPointer(0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
}

BENCHMARK(MemcpyFloor)->Arg(5000)->Arg(20000)->Arg(100000);
BENCHMARK(ShapeTransformCachedPass)->Arg(5000)->Arg(20000)->Arg(100000);
BENCHMARK(BareRescaleLoop)->Arg(5000)->Arg(20000)->Arg(100000);
BENCHMARK(ThinPlateSpline)->Arg(5000)->Arg(20000)->Arg(100000);

BENCHMARK_MAIN();
