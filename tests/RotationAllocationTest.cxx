// Evaluating an up-to-date rotation spline, and a whole trajectory, must not
// touch the heap: this executable counts every operator new.

#include "KeyFrameTables.h"
#include "RotationTestSupport.h"

#include "vtkTrajectory.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> Allocations{ 0 };

// Every form of operator new below counts and takes its memory from malloc,
// and every operator delete gives it back with free, so the pairs match
// whichever forms the libraries use.
void* CountedAllocation(std::size_t size, std::size_t alignment = 0) noexcept
{
  ++Allocations;
  size = size ? size : 1;
  if (alignment > alignof(std::max_align_t))
  {
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  }
  return std::malloc(size);
}

void* CountedAllocationOrThrow(std::size_t size, std::size_t alignment = 0)
{
  if (void* p = CountedAllocation(size, alignment))
  {
    return p;
  }
  throw std::bad_alloc();
}
}

void* operator new(std::size_t size)
{
  return CountedAllocationOrThrow(size);
}
void* operator new[](std::size_t size)
{
  return CountedAllocationOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  return CountedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
  return CountedAllocation(size);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
  return CountedAllocationOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
  return CountedAllocationOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
  return CountedAllocation(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
  return CountedAllocation(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* p) noexcept
{
  std::free(p);
}
void operator delete[](void* p) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
  std::free(p);
}

namespace
{
}

TEST(RotationAllocation, CountingWorks)
{
  const long before = Allocations;
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  EXPECT_GT(Allocations, before);
}

TEST(RotationAllocation, UpToDateSplineEvaluatesWithoutAllocating)
{
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  for (const KeyFrameRow& k : FigureEightTable)
  {
    spline->AddPoint(k.Time, RotationAbout(k.Angle, 0, 0, 1));
  }
  spline->ClosedOn();
  spline->Evaluate(0.0f); // builds the controls

  const long before = Allocations;
  float sum = 0.0f;
  for (int i = 0; i < 320; ++i)
  {
    sum += spline->Evaluate(i * (8.0f / 319)).W;
  }
  EXPECT_EQ(Allocations - before, 0);
  EXPECT_TRUE(std::isfinite(sum));
}

TEST(RotationAllocation, TrajectoryEvaluatesWithoutAllocating)
{
  vtkSmartPointer<vtkTrajectory> trajectory = vtkSmartPointer<vtkTrajectory>::New();
  for (const KeyFrameRow& k : FigureEightTable)
  {
    trajectory->AddKeyFrame(k.Time, k.X, k.Y, k.Z, k.Angle, 0.0f, 0.0f, 1.0f);
  }
  trajectory->ClosedOn();
  float x, y, z, angle, axis[3];
  trajectory->Evaluate(0.0f, x, y, z, angle, axis); // builds every track

  const long before = Allocations;
  for (int i = 0; i < 320; ++i)
  {
    trajectory->Evaluate(i * (8.0f / 319), x, y, z, angle, axis);
  }
  EXPECT_EQ(Allocations - before, 0);
}
