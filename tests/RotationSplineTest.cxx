// Rotation keys, the rotation spline base and the Kochanek rotation spline.

#include "RotationTestSupport.h"

#include "vtkRotationSpline.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace
{
const double Pi = 3.14159265358979323846;
const double Rounding = 4 * FLT_EPSILON;

/**
 * The base class by itself: it has no New of its own, so this adds one and
 * shows its state. It declares no type information and reports the base's.
 */
class BaseSplineProbe : public vtkRotationSpline
{
public:
  static BaseSplineProbe* New();

  const float* Knots() const { return this->KnotTimes; }
  const Quaternion* Controls() const { return this->ControlRotations; }
  vtkMTimeType GetBuildTime() const { return this->BuildTime; }
  vtkRotationKeyList* GetKeys() { return this->Keys; }
};
vtkStandardNewMacro(BaseSplineProbe);

// Rotations one time unit apart, each a turn of at most 1.2 radians from the
// one before about an axis that changes from key to key.
std::vector<Quaternion> WalkingKeys()
{
  const float steps[][4] = {
    { 0.9f, 0, 1, 1 },
    { 1.2f, 1, -1, 2 },
    { 0.7f, 0, 0, 1 },
    { 1.0f, 2, 1, 0 },
    { 0.8f, 1, 1, 1 },
  };
  std::vector<Quaternion> keys{ RotationAbout(0.3f, 1, 0, 0) };
  for (const auto& s : steps)
  {
    keys.push_back(keys.back() * RotationAbout(s[0], s[1], s[2], s[3]));
  }
  return keys;
}

template <typename TSpline>
void AddKeys(TSpline* spline, const std::vector<Quaternion>& keys, float firstTime = 0.0f)
{
  for (size_t i = 0; i < keys.size(); ++i)
  {
    spline->AddPoint(firstTime + static_cast<float>(i), keys[i]);
  }
}

using Vector = std::array<double, 3>;

Vector LogOf(const Quaternion& from, const Quaternion& to)
{
  return (ReferenceQuaternion::From(from).Conjugate() * ReferenceQuaternion::From(to)).LogVector();
}

/**
 * One-sided rate of change at a knot of the spline's rotation, as the
 * logarithm of the rotation relative to the knot's value (half the angular
 * velocity in the rotating frame), per time unit. side +1 looks right of the
 * knot, -1 left of it. Second-order differences in double precision.
 */
Vector OneSidedRate(vtkRotationSpline* spline, float knot, int side)
{
  const float h = 1.0f / 256; // a power of two: the sample times are exact
  const Quaternion atKnot = spline->Evaluate(knot);
  const Vector r1 = LogOf(atKnot, spline->Evaluate(knot + side * h));
  const Vector r2 = LogOf(atKnot, spline->Evaluate(knot + side * 2 * h));
  Vector rate;
  for (int i = 0; i < 3; ++i)
  {
    rate[i] = side * (4 * r1[i] - r2[i]) / (2 * h);
  }
  return rate;
}
}

//------------------------------------------------------------------------------
// vtkRotationKeyList

TEST(RotationKeyList, GetValueReadsTheListAsAClosedSequence)
{
  vtkSmartPointer<vtkRotationKeyList> list = vtkSmartPointer<vtkRotationKeyList>::New();
  EXPECT_STREQ(list->GetClassName(), "vtkObject");
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(0), Quaternion(0, 0, 0, 0)));
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(-1), Quaternion(0, 0, 0, 0)));

  const Quaternion a(0.5f, 0.5f, 0.5f, 0.5f), b(0, 1, 0, 0), c(0, 0, 0, 1);
  EXPECT_EQ(list->InsertItem(3.0f, c), 0);
  EXPECT_EQ(list->InsertItem(1.0f, a), 0);
  EXPECT_EQ(list->InsertItem(2.0f, b), 1);
  const Quaternion inOrder[3] = { a, b, c };
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_TRUE(QuaternionsEqual(list->GetValue(i), inOrder[i])) << i;
  }
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(3), a));
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(100), a));
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(-1), c));
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(-100), c));

  // An existing key keeps its rotation.
  EXPECT_EQ(list->InsertItem(2.0f, Quaternion::Identity), 1);
  EXPECT_EQ(list->GetNumberOfItems(), 3);
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(1), b));

  // Removal keeps every remaining key with its own rotation.
  list->RemoveItem(1);
  EXPECT_EQ(list->GetNumberOfItems(), 2);
  EXPECT_EQ(list->GetKey(1), 3.0f);
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(1), c));
  list->RemoveAllItems();
  EXPECT_EQ(list->GetNumberOfItems(), 0);
  EXPECT_TRUE(QuaternionsEqual(list->GetValue(0), Quaternion(0, 0, 0, 0)));
}

//------------------------------------------------------------------------------
// vtkRotationSpline

TEST(RotationSpline, NewSplineIsEmptyAndOpen)
{
  vtkSmartPointer<BaseSplineProbe> spline = vtkSmartPointer<BaseSplineProbe>::New();
  EXPECT_EQ(spline->GetClosed(), 0);
  EXPECT_TRUE(QuaternionsEqual(spline->GetLeftRotation(), Quaternion(1, 0, 0, 0)));
  EXPECT_TRUE(QuaternionsEqual(spline->GetRightRotation(), Quaternion(1, 0, 0, 0)));
  EXPECT_EQ(spline->GetKeys()->GetNumberOfItems(), 0);
  EXPECT_EQ(spline->Knots(), nullptr);
  EXPECT_EQ(spline->Controls(), nullptr);
  EXPECT_EQ(spline->GetBuildTime(), 0u);
}

TEST(RotationSpline, TypeInformation)
{
  vtkSmartPointer<BaseSplineProbe> spline = vtkSmartPointer<BaseSplineProbe>::New();
  EXPECT_STREQ(spline->GetClassName(), "vtkRotationSpline");
  EXPECT_EQ(spline->IsA("vtkRotationSpline"), 1);
  EXPECT_EQ(spline->IsA("vtkObject"), 1);
  EXPECT_EQ(spline->IsA("vtkKochanekRotationSpline"), 0);
  EXPECT_EQ(spline->IsA("vtkSpline"), 0);
}

TEST(RotationSpline, BaseEvaluateIsTheIdentity)
{
  vtkSmartPointer<BaseSplineProbe> spline = vtkSmartPointer<BaseSplineProbe>::New();
  for (int withKeys = 0; withKeys < 2; ++withKeys)
  {
    for (float t : { -1.0f, 0.0f, 0.5f, 7.0f })
    {
      EXPECT_TRUE(QuaternionsEqual(spline->Evaluate(t), Quaternion(1, 0, 0, 0))) << t;
    }
    AddKeys(spline.Get(), WalkingKeys());
  }
}

struct AddPointCase
{
  const char* Name;
  Quaternion Given;
  Quaternion Stored;
};

class RotationSplineAddPoint : public ::testing::TestWithParam<AddPointCase>
{
};

TEST_P(RotationSplineAddPoint, StoresTheNormalisedRotation)
{
  vtkSmartPointer<BaseSplineProbe> spline = vtkSmartPointer<BaseSplineProbe>::New();
  EXPECT_EQ(spline->AddPoint(1.5f, GetParam().Given), 0);
  EXPECT_EQ(spline->GetKeys()->GetKey(0), 1.5f);
  EXPECT_TRUE(QuaternionsNear(spline->GetKeys()->GetValue(0), GetParam().Stored, FLT_EPSILON));
}

INSTANTIATE_TEST_SUITE_P(Cases, RotationSplineAddPoint,
  ::testing::Values(AddPointCase{ "Zero", { 0, 0, 0, 0 }, { 1, 0, 0, 0 } },
    AddPointCase{ "BelowThreshold", { 0.0005f, 0, 0, 0 }, { 1, 0, 0, 0 } },
    AddPointCase{ "VectorBelowThreshold", { 0, 0, 0.0009f, 0 }, { 1, 0, 0, 0 } },
    AddPointCase{ "VectorAboveThreshold", { 0, 0, 0.0011f, 0 }, { 0, 0, 1, 0 } },
    AddPointCase{ "NegativeAboveThreshold", { -0.0011f, 0, 0, 0 }, { -1, 0, 0, 0 } },
    AddPointCase{ "LongScalar", { 2, 0, 0, 0 }, { 1, 0, 0, 0 } },
    AddPointCase{ "LongVector", { 0, 0, 0, 3 }, { 0, 0, 0, 1 } },
    AddPointCase{ "Mixed", { 1, -1, 1, 1 }, { 0.5f, -0.5f, 0.5f, 0.5f } }),
  [](const ::testing::TestParamInfo<AddPointCase>& info) { return info.param.Name; });

TEST(RotationSpline, AddPointKeepsTimeOrderAndTheFirstRotationOfATime)
{
  vtkSmartPointer<BaseSplineProbe> spline = vtkSmartPointer<BaseSplineProbe>::New();
  const Quaternion at0 = RotationAbout(0.1f, 1, 0, 0);
  const Quaternion at1 = RotationAbout(0.2f, 0, 1, 0);
  const Quaternion at2 = RotationAbout(0.3f, 0, 0, 1);
  EXPECT_EQ(spline->AddPoint(2.0f, at2), 0);
  EXPECT_EQ(spline->AddPoint(0.0f, at0), 0);
  EXPECT_EQ(spline->AddPoint(1.0f, at1), 1);
  EXPECT_EQ(spline->AddPoint(1.0f, RotationAbout(2.0f, 1, 1, 0)), 1);
  EXPECT_EQ(spline->GetKeys()->GetNumberOfItems(), 3);
  const Quaternion expected[3] = { at0, at1, at2 };
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_TRUE(QuaternionsNear(spline->GetKeys()->GetValue(i), expected[i], FLT_EPSILON)) << i;
  }
}

TEST(RotationSpline, PlainAccessorsStoreWithoutMarkingModified)
{
  vtkSmartPointer<BaseSplineProbe> spline = vtkSmartPointer<BaseSplineProbe>::New();
  const vtkMTimeType before = spline->GetMTime();
  spline->ClosedOn();
  EXPECT_EQ(spline->GetClosed(), 1);
  spline->ClosedOff();
  EXPECT_EQ(spline->GetClosed(), 0);
  spline->SetClosed(1);
  EXPECT_EQ(spline->GetClosed(), 1);
  const Quaternion left(2, 0, 3, 0), right(0, -1, 0, 0.5f);
  spline->SetLeftRotation(left);
  spline->SetRightRotation(right);
  EXPECT_TRUE(QuaternionsEqual(spline->GetLeftRotation(), left));
  EXPECT_TRUE(QuaternionsEqual(spline->GetRightRotation(), right));
  spline->AddPoint(0.0f, left);
  EXPECT_EQ(spline->GetMTime(), before);
}

//------------------------------------------------------------------------------
// vtkKochanekRotationSpline: object model

TEST(KochanekRotationSpline, TypeInformationAndDefaults)
{
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  EXPECT_STREQ(spline->GetClassName(), "vtkKochanekRotationSpline");
  EXPECT_EQ(spline->IsA("vtkKochanekRotationSpline"), 1);
  EXPECT_EQ(spline->IsA("vtkRotationSpline"), 1);
  EXPECT_EQ(spline->IsA("vtkObject"), 1);
  EXPECT_EQ(spline->IsA("vtkKochanekSpline"), 0);
  EXPECT_EQ(spline->GetDefaultBias(), 0.0f);
  EXPECT_EQ(spline->GetDefaultTension(), 0.0f);
  EXPECT_EQ(spline->GetDefaultContinuity(), 0.0f);
  EXPECT_EQ(spline->GetClosed(), 0);
}

TEST(KochanekRotationSpline, NewAsksTheObjectFactory)
{
  {
    ProbeFactoryRegistration registration;
    vtkSmartPointer<vtkKochanekRotationSpline> spline =
      vtkSmartPointer<vtkKochanekRotationSpline>::New();
    EXPECT_STREQ(spline->GetClassName(), "KochanekProbe");
  }
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  EXPECT_STREQ(spline->GetClassName(), "vtkKochanekRotationSpline");
}

TEST(KochanekRotationSpline, SettingsRecomputeOnlyWhenTheyChange)
{
  vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
  AddKeys(spline.Get(), WalkingKeys());
  const Quaternion before = spline->Evaluate(1.5f);
  const vtkMTimeType built = spline->GetBuildTime();
  EXPECT_EQ(built, spline->GetMTime());

  spline->SetDefaultTension(0.0f);
  spline->SetDefaultContinuity(0.0f);
  spline->SetDefaultBias(0.0f);
  EXPECT_EQ(spline->GetMTime(), built);
  spline->Evaluate(1.5f);
  EXPECT_EQ(spline->GetBuildTime(), built);

  spline->SetDefaultTension(1.0f);
  EXPECT_EQ(spline->GetDefaultTension(), 1.0f);
  EXPECT_GT(spline->GetMTime(), built);
  const Quaternion tense = spline->Evaluate(1.5f);
  EXPECT_EQ(spline->GetBuildTime(), spline->GetMTime());
  EXPECT_FALSE(QuaternionsNear(tense, before, 1e-3));

  // No range is enforced.
  spline->SetDefaultBias(-3.0f);
  spline->SetDefaultContinuity(7.5f);
  EXPECT_EQ(spline->GetDefaultBias(), -3.0f);
  EXPECT_EQ(spline->GetDefaultContinuity(), 7.5f);
}

TEST(KochanekRotationSpline, MTimeIncludesTheKeys)
{
  vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
  spline->GetKeys()->Modified();
  EXPECT_EQ(spline->GetMTime(), spline->GetKeys()->GetMTime());
  spline->Modified();
  EXPECT_GT(spline->GetMTime(), spline->GetKeys()->GetMTime());
}

//------------------------------------------------------------------------------
// vtkKochanekRotationSpline: fewer than two keys

class KochanekRotationSplineTooFewKeys : public ::testing::TestWithParam<int>
{
};

TEST_P(KochanekRotationSplineTooFewKeys, ReportsTheErrorAndAnswersTheIdentity)
{
  const int count = GetParam();
  vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
  if (count == 1)
  {
    spline->AddPoint(0.0f, RotationAbout(1.0f, 0, 0, 1));
  }
  ErrorCapture capture;
  EXPECT_TRUE(QuaternionsEqual(spline->Evaluate(0.0f), Quaternion(1, 0, 0, 0)));
  ASSERT_EQ(capture.Errors().size(), 1u);
  const std::string& text = capture.Errors()[0];
  const std::string message =
    "Cannot evaluate a spline with less than 2 points. Number of points is: " +
    std::to_string(count) + "\n";
  EXPECT_NE(text.find("): " + message), std::string::npos) << text;
  EXPECT_NE(text.find("vtkKochanekRotationSpline.cxx"), std::string::npos) << text;

  EXPECT_TRUE(QuaternionsEqual(spline->Evaluate(3.0f), Quaternion(1, 0, 0, 0)));
  EXPECT_EQ(capture.Errors().size(), 2u);
  // Nothing was built.
  EXPECT_EQ(spline->GetBuildTime(), 0u);
  EXPECT_EQ(spline->Knots(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Counts, KochanekRotationSplineTooFewKeys, ::testing::Values(0, 1));

TEST(KochanekRotationSpline, ErrorIsSilentWithoutGlobalWarningDisplay)
{
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  ErrorCapture capture;
  vtkObject::GlobalWarningDisplayOff();
  const Quaternion q = spline->Evaluate(0.0f);
  vtkObject::GlobalWarningDisplayOn();
  EXPECT_TRUE(QuaternionsEqual(q, Quaternion(1, 0, 0, 0)));
  EXPECT_TRUE(capture.Errors().empty());
}

//------------------------------------------------------------------------------
// vtkKochanekRotationSpline: values

struct KnotValueCase
{
  const char* Name;
  int Closed;
  float Time;
  int Key; // index of the key expected at that time
};

class KochanekRotationSplineKnotValue : public ::testing::TestWithParam<KnotValueCase>
{
};

TEST_P(KochanekRotationSplineKnotValue, IsTheKeyOrTheClampedEnd)
{
  const KnotValueCase& c = GetParam();
  const std::vector<Quaternion> keys = WalkingKeys(); // times 0 to 5
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  AddKeys(spline.Get(), keys);
  spline->SetClosed(c.Closed);
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(c.Time), keys[c.Key], Rounding));
}

const float NotANumber = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Cases, KochanekRotationSplineKnotValue,
  ::testing::Values(KnotValueCase{ "OpenFirst", 0, 0.0f, 0 },
    KnotValueCase{ "OpenInner1", 0, 1.0f, 1 }, KnotValueCase{ "OpenInner4", 0, 4.0f, 4 },
    KnotValueCase{ "OpenLast", 0, 5.0f, 5 }, KnotValueCase{ "OpenBefore", 0, -2.5f, 0 },
    KnotValueCase{ "OpenAfter", 0, 5.25f, 5 }, KnotValueCase{ "OpenNaN", 0, NotANumber, 0 },
    KnotValueCase{ "ClosedInner2", 1, 2.0f, 2 }, KnotValueCase{ "ClosedLastKey", 1, 5.0f, 5 },
    KnotValueCase{ "ClosedLastKnot", 1, 6.0f, 0 }, KnotValueCase{ "ClosedBefore", 1, -1.0f, 0 },
    KnotValueCase{ "ClosedAfter", 1, 9.0f, 0 }, KnotValueCase{ "ClosedNaN", 1, NotANumber, 0 }),
  [](const ::testing::TestParamInfo<KnotValueCase>& info) { return info.param.Name; });

TEST(KochanekRotationSpline, TwoOpenKeysUseTheBoundaryRotationsAsNeighbours)
{
  const Quaternion q0 = RotationAbout(0.4f, 1, 0, 0);
  const Quaternion q1 = RotationAbout(1.3f, 0, 1, 1);
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  spline->AddPoint(0.0f, q0);
  spline->AddPoint(1.0f, q1);
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(0.0f), q0, Rounding));
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(1.0f), q1, Rounding));
  // With identity neighbours the curve bends away from the great arc.
  EXPECT_FALSE(QuaternionsNear(spline->Evaluate(0.3f), Quaternion::Slerp(0.3f, q0, q1), 1e-3));

  // Neighbours that continue the arc at both ends make both tangents the
  // arc's own, so the curve is the constant-speed arc itself.
  spline->SetLeftRotation(q0 * q1.Conjugate() * q0);
  spline->SetRightRotation(q1 * q0.Conjugate() * q1);
  spline->Modified(); // the boundary setters leave the cached controls alone
  for (float t : { 0.1f, 0.3f, 0.5f, 0.9f })
  {
    EXPECT_TRUE(QuaternionsNear(spline->Evaluate(t), Quaternion::Slerp(t, q0, q1), 8 * FLT_EPSILON))
      << t;
  }
}

TEST(KochanekRotationSpline, TwoClosedKeysReturnAlongTheMirroredPath)
{
  const Quaternion q0 = RotationAbout(0.4f, 1, 0, 0);
  const Quaternion q1 = RotationAbout(1.3f, 0, 1, 1);
  vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
  spline->AddPoint(2.0f, q0);
  spline->AddPoint(2.5f, q1);
  spline->ClosedOn();
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(3.5f), q0, Rounding));
  const float knots[3] = { 2.0f, 2.5f, 3.5f }; // the way back takes one time unit
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(spline->Knots()[i], knots[i]) << i;
  }
  // Key 0's controls come from key 1 on both sides, like key 1's from key 0,
  // so the way back retraces the way out, at its own pace.
  for (float u : { 0.25f, 0.5f, 0.75f })
  {
    EXPECT_TRUE(QuaternionsNear(
      spline->Evaluate(2.5f + u), spline->Evaluate(2.5f - 0.5f * u), 8 * FLT_EPSILON))
      << u;
  }
}

TEST(KochanekRotationSpline, ControlsOfTheRepeatedKeyAreKeyZeros)
{
  for (int count : { 2, 3, 6 })
  {
    std::vector<Quaternion> keys = WalkingKeys();
    keys.resize(count);
    vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
    AddKeys(spline.Get(), keys, 0.5f);
    spline->ClosedOn();
    // Settings under which the outgoing and incoming controls differ.
    spline->SetDefaultTension(0.4f);
    spline->SetDefaultBias(0.5f);
    spline->Evaluate(1.0f);
    EXPECT_EQ(spline->Knots()[count], 0.5f + (count - 1) + 1.0f) << count;
    EXPECT_TRUE(QuaternionsEqual(spline->Controls()[2 * count], spline->Controls()[0])) << count;
    EXPECT_TRUE(QuaternionsEqual(spline->Controls()[2 * count + 1], spline->Controls()[1]))
      << count;
    EXPECT_FALSE(QuaternionsNear(spline->Controls()[0], spline->Controls()[1], 1e-3)) << count;
  }
}

TEST(KochanekRotationSpline, DefaultSettingsMakeBothControlsOfAKeyEqual)
{
  for (int closed = 0; closed < 2; ++closed)
  {
    vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
    AddKeys(spline.Get(), WalkingKeys());
    spline->SetClosed(closed);
    spline->Evaluate(0.5f);
    const int entries = static_cast<int>(WalkingKeys().size()) + closed;
    for (int i = 0; i < entries; ++i)
    {
      EXPECT_TRUE(
        QuaternionsNear(spline->Controls()[2 * i], spline->Controls()[2 * i + 1], Rounding))
        << "closed " << closed << " key " << i;
    }
  }
}

// Eight keys a quarter turn apart about one axis make two full turns, so the
// closing step from the last key to key 0 is a quarter turn too, and every
// key's neighbours are a quarter turn away on either side: the spline turns
// at constant speed through every segment, the first two and the closing one
// included. Its value at t is the rotation by start + t quarter turns.
struct ConstantSpeedCase
{
  const char* Name;
  double Start;
  double Axis[3];
};

class KochanekRotationSplineConstantSpeed : public ::testing::TestWithParam<ConstantSpeedCase>
{
};

TEST_P(KochanekRotationSplineConstantSpeed, TurnsAQuarterPerTimeUnit)
{
  const ConstantSpeedCase& c = GetParam();
  const double length =
    std::sqrt(c.Axis[0] * c.Axis[0] + c.Axis[1] * c.Axis[1] + c.Axis[2] * c.Axis[2]);
  auto exact = [&](double angle)
  {
    const double s = std::sin(angle / 2) / length;
    return ReferenceQuaternion{ std::cos(angle / 2), s * c.Axis[0], s * c.Axis[1], s * c.Axis[2] };
  };
  auto rounded = [](const ReferenceQuaternion& q)
  {
    return Quaternion(static_cast<float>(q.W), static_cast<float>(q.X), static_cast<float>(q.Y),
      static_cast<float>(q.Z));
  };

  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  for (int i = 0; i < 8; ++i)
  {
    spline->AddPoint(static_cast<float>(i), rounded(exact(c.Start + i * Pi / 2)));
  }
  spline->ClosedOn();

  // The keys are the exact rotations rounded to float; the controls and the
  // three slerps add a rounding or two each (measured: within one float
  // epsilon). A control built around the wrong key is off by about 1e-2.
  const double tolerance = 4 * FLT_EPSILON;
  const int samplesPerSegment = 64;
  for (int k = 0; k <= 8 * samplesPerSegment; ++k)
  {
    const float t = static_cast<float>(k) / samplesPerSegment;
    const Quaternion expected = rounded(exact(c.Start + t * Pi / 2));
    ASSERT_TRUE(QuaternionsNear(spline->Evaluate(t), expected, tolerance)) << "t = " << t;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, KochanekRotationSplineConstantSpeed,
  ::testing::Values(ConstantSpeedCase{ "FromZeroAboutZ", 0.0, { 0, 0, 1 } },
    ConstantSpeedCase{ "FromOneAboutZ", 1.0, { 0, 0, 1 } },
    ConstantSpeedCase{ "FromMinusTwoAboutX", -2.0, { 1, 0, 0 } },
    ConstantSpeedCase{ "FromHalfAboutSkewAxis", 0.5, { 1, 2, -2 } }),
  [](const ::testing::TestParamInfo<ConstantSpeedCase>& info) { return info.param.Name; });

// Rates measured at a knot: the second-order differences leave an error of
// order h^2 times the third derivative (up to 3e-4 on these keys), and the
// float rounding of the evaluated rotations, divided by the step, adds about
// 5e-5. A wrong tangent is off by a tenth or more.
const double RateTolerance = 1e-3;

TEST(KochanekRotationSpline, DefaultSplineTurnsSmoothlyThroughEveryKnot)
{
  const std::vector<Quaternion> keys = WalkingKeys();
  const int n = static_cast<int>(keys.size());
  for (int closed = 0; closed < 2; ++closed)
  {
    vtkSmartPointer<vtkKochanekRotationSpline> spline =
      vtkSmartPointer<vtkKochanekRotationSpline>::New();
    AddKeys(spline.Get(), keys);
    spline->SetClosed(closed);
    for (int k = 1; k < n - 1 + closed; ++k)
    {
      const Vector left = OneSidedRate(spline, static_cast<float>(k), -1);
      const Vector right = OneSidedRate(spline, static_cast<float>(k), +1);
      EXPECT_LT(Distance(left, right), RateTolerance) << "closed " << closed << " knot " << k;
      EXPECT_GT(Distance(right, Vector{ 0, 0, 0 }), 0.2) << "closed " << closed << " knot " << k;
    }
    if (closed)
    {
      // Leaving key 0 at the start and arriving back at it at the end.
      const Vector start = OneSidedRate(spline, 0.0f, +1);
      const Vector end = OneSidedRate(spline, static_cast<float>(n), -1);
      EXPECT_LT(Distance(start, end), RateTolerance);
    }
  }
}

// Kochanek-Bartels tangents: with Lin and Lout the logarithms of the steps
// into and out of a key, the spline leaves the key with the rate
// w1 Lin + w2 Lout and arrives at it with w3 Lin + w4 Lout, where
// w1 = (1-T)(1+C)(1+B)/2, w2 = (1-T)(1-C)(1-B)/2, w3 = (1-T)(1-C)(1+B)/2 and
// w4 = (1-T)(1+C)(1-B)/2. Tension 1 stops the rotation at every key.
struct TangentCase
{
  const char* Name;
  float Tension;
  float Continuity;
  float Bias;
};

class KochanekRotationSplineTangents : public ::testing::TestWithParam<std::tuple<TangentCase, int>>
{
};

TEST_P(KochanekRotationSplineTangents, RatesAtTheKnotsAreTheKochanekTangents)
{
  const TangentCase& c = std::get<0>(GetParam());
  const int closed = std::get<1>(GetParam());
  const std::vector<Quaternion> keys = WalkingKeys();
  const int n = static_cast<int>(keys.size());
  const Quaternion left = RotationAbout(0.6f, 1, 1, 0);
  const Quaternion right = RotationAbout(-0.9f, 0, 1, 0) * keys.back();

  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  AddKeys(spline.Get(), keys);
  spline->SetClosed(closed);
  spline->SetLeftRotation(left);
  spline->SetRightRotation(right);
  spline->SetDefaultTension(c.Tension);
  spline->SetDefaultContinuity(c.Continuity);
  spline->SetDefaultBias(c.Bias);

  const double t = c.Tension, cc = c.Continuity, b = c.Bias;
  const double w1 = (1 - t) * (1 + cc) * (1 + b) / 2, w2 = (1 - t) * (1 - cc) * (1 - b) / 2;
  const double w3 = (1 - t) * (1 - cc) * (1 + b) / 2, w4 = (1 - t) * (1 + cc) * (1 - b) / 2;
  for (int k = 0; k < n; ++k)
  {
    const Quaternion& previous = k > 0 ? keys[k - 1] : (closed ? keys[n - 1] : left);
    const Quaternion& next = k < n - 1 ? keys[k + 1] : (closed ? keys[0] : right);
    const Vector in = LogOf(previous, keys[k]);
    const Vector out = LogOf(keys[k], next);
    Vector leaving, arriving;
    for (int i = 0; i < 3; ++i)
    {
      leaving[i] = w1 * in[i] + w2 * out[i];
      arriving[i] = w3 * in[i] + w4 * out[i];
    }
    // An open spline is clamped outside its keys, so only the sides inside
    // count; a closed one arrives back at key 0 at time n.
    const float time = static_cast<float>(k);
    const float arrivalTime = (closed && k == 0) ? static_cast<float>(n) : time;
    if (k < n - 1 || closed)
    {
      EXPECT_LT(Distance(OneSidedRate(spline, time, +1), leaving), RateTolerance) << "key " << k;
    }
    if (k > 0 || closed)
    {
      EXPECT_LT(Distance(OneSidedRate(spline, arrivalTime, -1), arriving), RateTolerance)
        << "key " << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Settings, KochanekRotationSplineTangents,
  ::testing::Combine(
    ::testing::Values(TangentCase{ "Defaults", 0, 0, 0 }, TangentCase{ "TensionOne", 1, 0, 0 },
      TangentCase{ "HalfTension", 0.5f, 0, 0 }, TangentCase{ "Continuity", 0, 0.5f, 0 },
      TangentCase{ "NegativeContinuity", 0, -0.5f, 0 }, TangentCase{ "Bias", 0, 0, 0.7f },
      TangentCase{ "NegativeBias", 0, 0, -0.7f }, TangentCase{ "Mixed", 0.3f, -0.4f, 0.6f }),
    ::testing::Values(0, 1)),
  [](const ::testing::TestParamInfo<std::tuple<TangentCase, int>>& info)
  {
    return std::string(std::get<0>(info.param).Name) +
      (std::get<1>(info.param) ? "Closed" : "Open");
  });

//------------------------------------------------------------------------------
// vtkKochanekRotationSpline: keys or closed flag changed after an evaluation.
// Neither marks the spline modified; the next evaluation must still use
// arrays built for the current keys and flag.

TEST(KochanekRotationSpline, KeyAddedAfterEvaluateIsUsed)
{
  const std::vector<Quaternion> keys = WalkingKeys();
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  AddKeys(spline.Get(), std::vector<Quaternion>(keys.begin(), keys.begin() + 3));
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(4.0f), keys[2], Rounding)); // clamped
  const vtkMTimeType mtime = spline->GetMTime();

  spline->AddPoint(3.0f, keys[3]);
  spline->AddPoint(4.0f, keys[4]);
  EXPECT_EQ(spline->GetMTime(), mtime);
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(4.0f), keys[4], Rounding));
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(3.0f), keys[3], Rounding));

  // A key between two others.
  spline->AddPoint(1.5f, RotationAbout(2.0f, 0, 0, 1));
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(1.5f), RotationAbout(2.0f, 0, 0, 1), Rounding));
}

TEST(KochanekRotationSpline, ClosingOrOpeningAfterEvaluateIsUsed)
{
  const std::vector<Quaternion> keys = WalkingKeys();
  const float last = static_cast<float>(keys.size() - 1);
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  AddKeys(spline.Get(), keys);
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(last + 1.0f), keys.back(), Rounding));

  spline->ClosedOn();
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(last + 1.0f), keys.front(), Rounding));
  const Quaternion closing = spline->Evaluate(last + 0.5f);
  EXPECT_FALSE(QuaternionsNear(closing, keys.back(), 1e-2));
  EXPECT_FALSE(QuaternionsNear(closing, keys.front(), 1e-2));

  spline->ClosedOff();
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(last + 0.5f), keys.back(), Rounding));
}

TEST(KochanekRotationSpline, OtherNonZeroClosedValuesCloseTheSpline)
{
  const std::vector<Quaternion> keys = WalkingKeys();
  const float last = static_cast<float>(keys.size() - 1);
  vtkSmartPointer<vtkKochanekRotationSpline> spline =
    vtkSmartPointer<vtkKochanekRotationSpline>::New();
  AddKeys(spline.Get(), keys);
  spline->SetClosed(2);
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(last + 1.0f), keys.front(), Rounding));
  EXPECT_TRUE(QuaternionsNear(spline->Evaluate(last + 5.0f), keys.front(), Rounding));
}

TEST(KochanekRotationSpline, ComputeWithFewKeysStaysInsideItsArrays)
{
  vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
  spline->ClosedOn();
  spline->Compute();
  EXPECT_EQ(spline->Knots(), nullptr);
  spline->AddPoint(2.0f, RotationAbout(1.0f, 0, 1, 0));
  spline->Compute();
  ASSERT_NE(spline->Knots(), nullptr);
  EXPECT_EQ(spline->Knots()[0], 2.0f);
  EXPECT_EQ(spline->Knots()[1], 3.0f);
}

// Evaluate against the spline's definition written out in this test with the
// precision rules of the quaternion type: Squad of the segment's keys and
// controls, three slerps whose angle, inverse sine and weights are held as
// floats and whose other arithmetic is done in double and rounded to float.
// The spline works the fixed parts of each segment out once; its values must
// be these to the last bit.
namespace
{
Quaternion ScaledAsSpecified(const Quaternion& q, float s)
{
  return { static_cast<float>(static_cast<double>(q.W) * s),
    static_cast<float>(static_cast<double>(q.X) * s),
    static_cast<float>(static_cast<double>(q.Y) * s),
    static_cast<float>(static_cast<double>(q.Z) * s) };
}

Quaternion SlerpAsSpecified(float t, const Quaternion& p, const Quaternion& q)
{
  float c = static_cast<float>(static_cast<double>(p.W) * q.W + static_cast<double>(p.X) * q.X +
    static_cast<double>(p.Y) * q.Y + static_cast<double>(p.Z) * q.Z);
  c = std::min(1.0f, std::max(-1.0f, c));
  const float theta = static_cast<float>(std::acos(static_cast<double>(c)));
  if (theta < 0.001f)
  {
    return p;
  }
  const float weightQ = static_cast<float>(std::sin(static_cast<double>(t) * theta));
  const float weightP = static_cast<float>(std::sin((1.0 - t) * theta));
  const float inverseSine = static_cast<float>(1.0 / std::sin(static_cast<double>(theta)));
  const Quaternion a = ScaledAsSpecified(q, weightQ);
  const Quaternion b = ScaledAsSpecified(p, weightP);
  const Quaternion sum(static_cast<float>(static_cast<double>(b.W) + a.W),
    static_cast<float>(static_cast<double>(b.X) + a.X),
    static_cast<float>(static_cast<double>(b.Y) + a.Y),
    static_cast<float>(static_cast<double>(b.Z) + a.Z));
  return ScaledAsSpecified(sum, inverseSine);
}

// The rotation at t from the spline's keys and the controls it built.
Quaternion SplineAsSpecified(KochanekProbe* spline, float t)
{
  const int n = spline->GetKeys()->GetNumberOfItems();
  const int knots = n + (spline->GetClosed() ? 1 : 0);
  const float* k = spline->Knots();
  t = std::isnan(t) ? k[0] : std::min(k[knots - 1], std::max(k[0], t));
  int i = 0;
  while (i < knots - 2 && k[i + 1] <= t)
  {
    ++i;
  }
  const float u = (t - k[i]) / (k[i + 1] - k[i]);
  const Quaternion start = spline->GetKeys()->GetValue(i);
  const Quaternion end = spline->GetKeys()->GetValue(i + 1 == n ? 0 : i + 1);
  const Quaternion* controls = spline->Controls();
  const Quaternion onCurve = SlerpAsSpecified(u, start, end);
  const Quaternion onControls = SlerpAsSpecified(u, controls[2 * i], controls[2 * i + 3]);
  return SlerpAsSpecified(static_cast<float>((1.0 - u) * u * 2.0), onCurve, onControls);
}

// Samples from before the first knot to past the last, 64 per time unit and
// the knots themselves; false at the first value that differs in a bit.
::testing::AssertionResult MatchesTheDefinition(KochanekProbe* spline)
{
  spline->Evaluate(0.0f); // builds the controls the definition reads
  const int n = spline->GetKeys()->GetNumberOfItems();
  const float first = spline->GetKeys()->GetKey(0);
  const float last = spline->GetKeys()->GetKey(n - 1) + 1.0f;
  std::vector<float> times{ std::numeric_limits<float>::quiet_NaN() };
  for (float t = first - 0.5f; t <= last + 0.5f; t += 1.0f / 64)
  {
    times.push_back(t);
  }
  for (int i = 0; i < n; ++i)
  {
    times.push_back(spline->GetKeys()->GetKey(i));
  }
  for (float t : times)
  {
    const Quaternion actual = spline->Evaluate(t);
    const Quaternion expected = SplineAsSpecified(spline, t);
    const float a[4] = { actual.W, actual.X, actual.Y, actual.Z };
    const float e[4] = { expected.W, expected.X, expected.Y, expected.Z };
    if (std::memcmp(a, e, sizeof(a)) != 0)
    {
      return ::testing::AssertionFailure()
        << "at t = " << t << ": " << actual << " is not " << expected << " to the bit";
    }
  }
  return ::testing::AssertionSuccess();
}

vtkSmartPointer<KochanekProbe> ClosedSplineOnAngles(const float (&angles)[8])
{
  vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
  for (int i = 0; i < 8; ++i)
  {
    spline->AddPoint(static_cast<float>(i), RotationAbout(angles[i], 0, 0, 1));
  }
  spline->ClosedOn();
  return spline;
}
} // namespace

TEST(KochanekRotationSpline, EvaluateIsSquadOfKeysAndControlsToTheBit)
{
  // The programs' two paths.
  const float eight[8] = { 0.0f, 1.570795f, 0.0f, -1.570795f, -3.141592f, -4.712388f, -3.141592f,
    -1.570795f };
  const float ring[8] = { 0.0f, 1.570795f, 3.141592f, 4.712388f, 6.283184f, 7.85398f, 9.424776f,
    10.995572f };
  EXPECT_TRUE(MatchesTheDefinition(ClosedSplineOnAngles(eight)));
  EXPECT_TRUE(MatchesTheDefinition(ClosedSplineOnAngles(ring)));

  // Random keys at uneven times, open and closed, with and without shape
  // settings and boundary rotations; keys that repeat give degenerate arcs.
  std::mt19937 random(2026);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f), gap(0.25f, 2.0f);
  for (int set = 0; set < 60; ++set)
  {
    SCOPED_TRACE("key set " + std::to_string(set));
    vtkSmartPointer<KochanekProbe> spline = vtkSmartPointer<KochanekProbe>::New();
    float t = unit(random);
    for (int i = 0; i < 2 + set % 7; ++i, t += gap(random))
    {
      const Quaternion q = set % 10 == 9 && i > 0
        ? spline->GetKeys()->GetValue(i - 1)
        : RotationAbout(4.0f * unit(random), unit(random), unit(random), unit(random));
      spline->AddPoint(t, q);
    }
    spline->SetClosed(set % 2);
    if (set % 3 == 1)
    {
      spline->SetDefaultTension(0.9f * unit(random));
      spline->SetDefaultContinuity(0.9f * unit(random));
      spline->SetDefaultBias(0.9f * unit(random));
    }
    if (set % 4 == 2)
    {
      spline->SetLeftRotation(RotationAbout(2.0f, unit(random), unit(random), 1.0f));
      spline->SetRightRotation(RotationAbout(-1.0f, 1.0f, unit(random), unit(random)));
    }
    ASSERT_TRUE(MatchesTheDefinition(spline));
    // New controls after a change: what was worked out for the old ones is
    // not used again.
    spline->SetDefaultTension(spline->GetDefaultTension() + 0.25f);
    ASSERT_TRUE(MatchesTheDefinition(spline));
  }
}
