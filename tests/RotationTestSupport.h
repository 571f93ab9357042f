// Helpers shared by the rotation tests: quaternion comparisons, a double
// precision reference for relative rotations, and an output window that
// captures the toolkit's error reports.

#ifndef RotationTestSupport_h
#define RotationTestSupport_h

#include "Quaternion.h"
#include "vtkKochanekRotationSpline.h"
#include "vtkRotationKeyList.h"

#include "vtkObjectFactory.h"
#include "vtkOutputWindow.h"
#include "vtkSmartPointer.h"
#include "vtkVersionMacros.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

inline std::ostream& operator<<(std::ostream& os, const Quaternion& q)
{
  return os << "(" << q.W << ", " << q.X << ", " << q.Y << ", " << q.Z << ")";
}

inline Quaternion RotationAbout(float angle, float ax, float ay, float az)
{
  const float axis[3] = { ax, ay, az };
  Quaternion q;
  q.SetAngleAxis(angle, axis);
  return q;
}

inline ::testing::AssertionResult QuaternionsNear(
  const Quaternion& actual, const Quaternion& expected, double tolerance)
{
  const double d[4] = { actual.W - static_cast<double>(expected.W),
    actual.X - static_cast<double>(expected.X), actual.Y - static_cast<double>(expected.Y),
    actual.Z - static_cast<double>(expected.Z) };
  for (double c : d)
  {
    if (!(std::fabs(c) <= tolerance))
    {
      return ::testing::AssertionFailure()
        << actual << " differs from " << expected << " by more than " << tolerance;
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult QuaternionsEqual(
  const Quaternion& actual, const Quaternion& expected)
{
  if (actual.W == expected.W && actual.X == expected.X && actual.Y == expected.Y &&
    actual.Z == expected.Z)
  {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << actual << " is not exactly " << expected;
}

/**
 * Double-precision quaternion arithmetic, independent of the library, for
 * reference values.
 */
struct ReferenceQuaternion
{
  double W, X, Y, Z;

  static ReferenceQuaternion From(const Quaternion& q) { return { q.W, q.X, q.Y, q.Z }; }

  ReferenceQuaternion Conjugate() const { return { W, -X, -Y, -Z }; }

  ReferenceQuaternion operator*(const ReferenceQuaternion& p) const
  {
    return { W * p.W - X * p.X - Y * p.Y - Z * p.Z, W * p.X + X * p.W + Y * p.Z - Z * p.Y,
      W * p.Y + Y * p.W + Z * p.X - X * p.Z, W * p.Z + Z * p.W + X * p.Y - Y * p.X };
  }

  // Principal logarithm of a unit quaternion: the vector theta u for
  // (cos theta, sin theta u), theta in [0, pi].
  std::array<double, 3> LogVector() const
  {
    const double s = std::sqrt(X * X + Y * Y + Z * Z);
    if (s == 0.0)
    {
      return { 0.0, 0.0, 0.0 };
    }
    const double theta = std::atan2(s, W);
    return { X * theta / s, Y * theta / s, Z * theta / s };
  }
};

inline double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
  return std::sqrt(
    (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

/**
 * Output window that keeps the error texts it is given instead of printing
 * them. Install it for the lifetime of an ErrorCapture.
 */
class CapturingOutputWindow : public vtkOutputWindow
{
public:
  static CapturingOutputWindow* New();
  vtkTypeMacro(CapturingOutputWindow, vtkOutputWindow);

  void DisplayErrorText(const char* text) override { this->Errors.emplace_back(text); }
  void DisplayText(const char* text) override { this->Other.emplace_back(text); }

  std::vector<std::string> Errors;
  std::vector<std::string> Other;

protected:
  CapturingOutputWindow() = default;
};
inline vtkStandardNewMacro(CapturingOutputWindow);

class ErrorCapture
{
public:
  ErrorCapture()
    : Previous(vtkOutputWindow::GetInstance())
    , Window(vtkSmartPointer<CapturingOutputWindow>::New())
  {
    vtkOutputWindow::SetInstance(this->Window);
  }
  ~ErrorCapture() { vtkOutputWindow::SetInstance(this->Previous); }
  ErrorCapture(const ErrorCapture&) = delete;
  ErrorCapture& operator=(const ErrorCapture&) = delete;

  const std::vector<std::string>& Errors() const { return this->Window->Errors; }

private:
  vtkSmartPointer<vtkOutputWindow> Previous;
  vtkSmartPointer<CapturingOutputWindow> Window;
};

/**
 * A Kochanek rotation spline that shows the state it builds.
 */
class KochanekProbe : public vtkKochanekRotationSpline
{
public:
  static KochanekProbe* New();
  vtkTypeMacro(KochanekProbe, vtkKochanekRotationSpline);

  const float* Knots() const { return this->KnotTimes; }
  const Quaternion* Controls() const { return this->ControlRotations; }
  vtkMTimeType GetBuildTime() const { return this->BuildTime; }
  vtkRotationKeyList* GetKeys() { return this->Keys; }

protected:
  KochanekProbe() = default;
};
inline vtkStandardNewMacro(KochanekProbe);

/**
 * Object factory that overrides vtkKochanekRotationSpline with
 * KochanekProbe; registered for the lifetime of a ProbeFactoryRegistration.
 */
class ProbeFactory : public vtkObjectFactory
{
public:
  static ProbeFactory* New()
  {
    ProbeFactory* factory = new ProbeFactory;
    factory->InitializeObjectBase();
    return factory;
  }
  vtkTypeMacro(ProbeFactory, vtkObjectFactory);
  const char* GetVTKSourceVersion() override { return VTK_SOURCE_VERSION; }
  const char* GetDescription() override { return "rotation spline probe"; }

protected:
  ProbeFactory()
  {
    this->RegisterOverride("vtkKochanekRotationSpline", "KochanekProbe", "probe", 1,
      []() -> vtkObject* { return KochanekProbe::New(); });
  }
};

class ProbeFactoryRegistration
{
public:
  ProbeFactoryRegistration()
    : Factory(vtkSmartPointer<ProbeFactory>::New())
  {
    vtkObjectFactory::RegisterFactory(this->Factory);
  }
  ~ProbeFactoryRegistration() { vtkObjectFactory::UnRegisterFactory(this->Factory); }
  ProbeFactoryRegistration(const ProbeFactoryRegistration&) = delete;
  ProbeFactoryRegistration& operator=(const ProbeFactoryRegistration&) = delete;

private:
  vtkSmartPointer<ProbeFactory> Factory;
};

#endif
