// Quaternion: arithmetic, exponential and logarithm, interpolation and the
// angle-axis conversions.

#include "RotationTestSupport.h"

#include <cfloat>
#include <cmath>
#include <memory>

namespace
{
const double Pi = 3.14159265358979323846;
// A few units in the last place of a component of magnitude up to 1.
const double Rounding = 4 * FLT_EPSILON;

Quaternion Basis(int i)
{
  Quaternion q(0.0f, 0.0f, 0.0f, 0.0f);
  float* components[4] = { &q.W, &q.X, &q.Y, &q.Z };
  *components[i] = 1.0f;
  return q;
}
}

TEST(Quaternion, DefaultsAndConstantsAreIdentityAndZero)
{
  EXPECT_TRUE(QuaternionsEqual(Quaternion(), Quaternion(1, 0, 0, 0)));
  std::unique_ptr<Quaternion[]> array(new Quaternion[5]);
  for (int i = 0; i < 5; ++i)
  {
    EXPECT_TRUE(QuaternionsEqual(array[i], Quaternion(1, 0, 0, 0))) << "element " << i;
  }
  EXPECT_TRUE(QuaternionsEqual(Quaternion::Zero, Quaternion(0, 0, 0, 0)));
  EXPECT_TRUE(QuaternionsEqual(Quaternion::Identity, Quaternion(1, 0, 0, 0)));
  EXPECT_EQ(Quaternion::Epsilon, 0.001f);
}

TEST(Quaternion, ComponentWiseOperations)
{
  const Quaternion a(1.0f, 2.0f, -3.0f, 4.0f);
  const Quaternion b(0.5f, -1.0f, 2.0f, -3.0f);
  EXPECT_TRUE(QuaternionsEqual(a + b, Quaternion(1.5f, 1.0f, -1.0f, 1.0f)));
  EXPECT_TRUE(QuaternionsEqual(a - b, Quaternion(0.5f, 3.0f, -5.0f, 7.0f)));
  EXPECT_TRUE(QuaternionsEqual(a * 2.0f, Quaternion(2.0f, 4.0f, -6.0f, 8.0f)));
  EXPECT_TRUE(QuaternionsEqual(a.Conjugate(), Quaternion(1.0f, -2.0f, 3.0f, -4.0f)));
  EXPECT_EQ(a.Dot(b), 0.5f - 2.0f - 6.0f - 12.0f);
  EXPECT_EQ(a.SquaredNorm(), 30.0f);
  // Operands are left unchanged.
  EXPECT_TRUE(QuaternionsEqual(a, Quaternion(1.0f, 2.0f, -3.0f, 4.0f)));
}

// The product is bilinear, so the sixteen products of the basis elements
// 1, i, j, k fix every one of its terms and signs.
TEST(Quaternion, ProductFollowsHamiltonsTable)
{
  // table[a][b] = sign * basis index of e_a * e_b, with e_0 = 1, e_1 = i, ...
  const int table[4][4] = {
    { 1, 2, 3, 4 },
    { 2, -1, 4, -3 },
    { 3, -4, -1, 2 },
    { 4, 3, -2, -1 },
  };
  for (int a = 0; a < 4; ++a)
  {
    for (int b = 0; b < 4; ++b)
    {
      const int entry = table[a][b];
      const Quaternion expected = Basis(std::abs(entry) - 1) * (entry < 0 ? -1.0f : 1.0f);
      EXPECT_TRUE(QuaternionsEqual(Basis(a) * Basis(b), expected)) << "e" << a << " * e" << b;
    }
  }
  const Quaternion q(0.3f, -0.5f, 0.1f, 0.8f);
  EXPECT_TRUE(QuaternionsEqual(Quaternion::Identity * q, q));
  EXPECT_TRUE(QuaternionsEqual(q * Quaternion::Identity, q));
}

// Sums of products are accumulated in double precision and rounded once, so
// small terms next to a large one are not lost one by one.
TEST(Quaternion, SumsOfProductsAreRoundedOnce)
{
  const float small = 3e-4f;
  const Quaternion q(1.0f, small, small, small);
  const double exact = 1.0 + 3.0 * static_cast<double>(small) * small;
  EXPECT_EQ(q.SquaredNorm(), static_cast<float>(exact));
  EXPECT_EQ(q.Dot(q), static_cast<float>(exact));
  EXPECT_EQ((q * q.Conjugate()).W, static_cast<float>(exact));
}

TEST(Quaternion, ExpOfPureQuaternion)
{
  for (float w : { 0.0f, 5.0f, -3.0f })
  {
    EXPECT_TRUE(QuaternionsEqual(Quaternion(w, 0, 0, 0).Exp(), Quaternion(1, 0, 0, 0))) << w;
  }
  const float quarter = static_cast<float>(Pi / 4);
  EXPECT_TRUE(QuaternionsNear(Quaternion(0, 0, 0, quarter).Exp(),
    Quaternion(std::cos(quarter), 0, 0, std::sin(quarter)), Rounding));
  // The w of the operand is ignored.
  EXPECT_TRUE(
    QuaternionsEqual(Quaternion(7.0f, 0, 0, quarter).Exp(), Quaternion(0, 0, 0, quarter).Exp()));
  // A sine below epsilon passes the vector part through.
  EXPECT_TRUE(QuaternionsEqual(Quaternion(0, 1e-4f, 0, 0).Exp(),
    Quaternion(static_cast<float>(std::cos(1e-4f)), 1e-4f, 0, 0)));
}

struct LogCase
{
  double Theta;
  bool PassesThrough; // sine below epsilon: the vector part comes back as it is
};

class QuaternionLog : public ::testing::TestWithParam<LogCase>
{
};

TEST_P(QuaternionLog, OfUnitQuaternionAndBackThroughExp)
{
  const double theta = GetParam().Theta;
  const double u[3] = { 2.0 / 7, -3.0 / 7, 6.0 / 7 };
  const double s = std::sin(theta);
  const Quaternion q(static_cast<float>(std::cos(theta)), static_cast<float>(s * u[0]),
    static_cast<float>(s * u[1]), static_cast<float>(s * u[2]));
  const Quaternion log = q.Log();
  if (GetParam().PassesThrough)
  {
    EXPECT_TRUE(QuaternionsEqual(log, Quaternion(0, q.X, q.Y, q.Z)));
    return;
  }
  const double tolerance = 8 * FLT_EPSILON * theta / std::max(s, 1e-3);
  EXPECT_TRUE(QuaternionsNear(log,
    Quaternion(0, static_cast<float>(theta * u[0]), static_cast<float>(theta * u[1]),
      static_cast<float>(theta * u[2])),
    tolerance));
  // Log takes the angle from the rounded cosine; near a half turn that
  // rounding moves the angle by about theta |cos| / sin^2 times the relative
  // rounding, and the round trip inherits it.
  const double conditioning = theta * std::fabs(std::cos(theta)) / (s * s);
  EXPECT_TRUE(QuaternionsNear(log.Exp(), q, Rounding * std::max(1.0, conditioning)));
}

INSTANTIATE_TEST_SUITE_P(Angles, QuaternionLog,
  ::testing::Values(LogCase{ 0.3, false }, LogCase{ 1.0, false }, LogCase{ 2.5, false },
    LogCase{ Pi - 0.01, false }, LogCase{ 5e-4, true }, LogCase{ Pi - 5e-4, true }));

TEST(Quaternion, LogOfPlusAndMinusOneIsZero)
{
  EXPECT_TRUE(QuaternionsEqual(Quaternion(1, 0, 0, 0).Log(), Quaternion(0, 0, 0, 0)));
  EXPECT_TRUE(QuaternionsEqual(Quaternion(-1, 0, 0, 0).Log(), Quaternion(0, 0, 0, 0)));
}

TEST(Quaternion, SlerpOfEqualEndsIsExact)
{
  const Quaternion p = RotationAbout(1.1f, 1.0f, -2.0f, 0.5f);
  for (float t : { -0.5f, 0.0f, 0.3f, 1.0f, 2.0f })
  {
    EXPECT_TRUE(QuaternionsEqual(Quaternion::Slerp(t, p, p), p)) << t;
  }
  // A cosine that rounds above 1 is clamped instead of making acos fail.
  const Quaternion above(std::nextafter(1.0f, 2.0f), 0, 0, 0);
  EXPECT_TRUE(QuaternionsEqual(Quaternion::Slerp(0.5f, above, above), above));
}

TEST(Quaternion, SlerpFollowsTheArcAtConstantSpeed)
{
  const float from = 0.4f, to = 1.9f;
  const Quaternion p = RotationAbout(from, 0, 1, 0);
  const Quaternion q = RotationAbout(to, 0, 1, 0);
  EXPECT_TRUE(QuaternionsNear(Quaternion::Slerp(0.0f, p, q), p, Rounding));
  EXPECT_TRUE(QuaternionsNear(Quaternion::Slerp(1.0f, p, q), q, Rounding));
  // Also beyond the ends: t is not clamped.
  for (float t : { -0.5f, 0.25f, 0.5f, 0.75f, 1.5f })
  {
    EXPECT_TRUE(QuaternionsNear(
      Quaternion::Slerp(t, p, q), RotationAbout(from + t * (to - from), 0, 1, 0), Rounding))
      << t;
  }
}

TEST(Quaternion, SlerpWithNegativeCosineTakesTheLongerArc)
{
  const double angle = 3 * Pi / 4;
  const Quaternion q(
    static_cast<float>(std::cos(angle)), 0, 0, static_cast<float>(std::sin(angle)));
  const Quaternion halfway(
    static_cast<float>(std::cos(angle / 2)), 0, 0, static_cast<float>(std::sin(angle / 2)));
  EXPECT_TRUE(QuaternionsNear(Quaternion::Slerp(0.5f, Quaternion::Identity, q), halfway, Rounding));
}

TEST(Quaternion, SquadEndsAndDegenerateControls)
{
  const Quaternion p = RotationAbout(0.4f, 1, 0, 0);
  const Quaternion a = RotationAbout(0.9f, 0, 1, 1);
  const Quaternion b = RotationAbout(-0.7f, 1, 1, 0);
  const Quaternion q = RotationAbout(1.6f, 0, 0, 1);
  EXPECT_TRUE(QuaternionsNear(Quaternion::Squad(0.0f, p, a, b, q), p, Rounding));
  EXPECT_TRUE(QuaternionsNear(Quaternion::Squad(1.0f, p, a, b, q), q, Rounding));
  for (float t : { 0.1f, 0.5f, 0.8f })
  {
    EXPECT_TRUE(
      QuaternionsNear(Quaternion::Squad(t, p, p, q, q), Quaternion::Slerp(t, p, q), Rounding))
      << t;
  }
}

struct AngleAxisCase
{
  const char* Name;
  float Angle;
  float Axis[3];
  Quaternion Expected;
};

class QuaternionSetAngleAxis : public ::testing::TestWithParam<AngleAxisCase>
{
};

TEST_P(QuaternionSetAngleAxis, GivesTheRotation)
{
  const AngleAxisCase& c = GetParam();
  Quaternion q(9, 9, 9, 9);
  q.SetAngleAxis(c.Angle, c.Axis);
  EXPECT_TRUE(QuaternionsNear(q, c.Expected, Rounding));
}

const float C4 = static_cast<float>(std::cos(Pi / 4));
const float C6 = static_cast<float>(std::cos(0.5));
const float S6 = static_cast<float>(std::sin(0.5));

INSTANTIATE_TEST_SUITE_P(Cases, QuaternionSetAngleAxis,
  ::testing::Values(
    AngleAxisCase{ "QuarterTurnZ", static_cast<float>(Pi / 2), { 0, 0, 1 }, { C4, 0, 0, C4 } },
    AngleAxisCase{ "LongAxis", static_cast<float>(Pi / 2), { 0, 0, 2 }, { C4, 0, 0, C4 } },
    AngleAxisCase{ "NegativeAngle", static_cast<float>(-Pi / 2), { 0, 0, 1 }, { C4, 0, 0, -C4 } },
    AngleAxisCase{ "ZeroAxis", 1.3f, { 0, 0, 0 }, { 1, 0, 0, 0 } },
    AngleAxisCase{ "SkewAxis", 1.0f, { 1, 2, -2 }, { C6, S6 / 3, 2 * S6 / 3, -2 * S6 / 3 } }),
  [](const ::testing::TestParamInfo<AngleAxisCase>& info) { return info.param.Name; });

TEST(Quaternion, SetAngleAxisReadsAliasedArguments)
{
  Quaternion q(0.0f, 0.0f, 0.0f, 1.0f);
  q.SetAngleAxis(q.Z, &q.X); // angle 1 about (0, 0, 1), read from q itself
  EXPECT_TRUE(QuaternionsNear(q, RotationAbout(1.0f, 0, 0, 1), Rounding));
}

struct GetAngleAxisCase
{
  const char* Name;
  Quaternion Input;
  double Angle;
  float Axis[3];
};

class QuaternionGetAngleAxis : public ::testing::TestWithParam<GetAngleAxisCase>
{
};

TEST_P(QuaternionGetAngleAxis, GivesAngleAndUnitAxis)
{
  const GetAngleAxisCase& c = GetParam();
  float angle = -1.0f;
  float axis[3] = { 9, 9, 9 };
  c.Input.GetAngleAxis(angle, axis);
  EXPECT_NEAR(angle, c.Angle, 4 * FLT_EPSILON * std::max(1.0, c.Angle));
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_NEAR(axis[i], c.Axis[i], Rounding) << "axis " << i;
  }
}

const float S4 = static_cast<float>(std::sin(Pi / 4));
const float C34 = static_cast<float>(std::cos(3 * Pi / 4));
const float S34 = static_cast<float>(std::sin(3 * Pi / 4));

INSTANTIATE_TEST_SUITE_P(Cases, QuaternionGetAngleAxis,
  ::testing::Values(GetAngleAxisCase{ "Identity", { 1, 0, 0, 0 }, 0.0, { 1, 0, 0 } },
    GetAngleAxisCase{ "MinusIdentity", { -1, 0, 0, 0 }, 0.0, { 1, 0, 0 } },
    GetAngleAxisCase{ "QuarterTurn", { C4, 0, 0, S4 }, Pi / 2, { 0, 0, 1 } },
    GetAngleAxisCase{ "ThreeQuarterTurn", { C34, 0, 0, S34 }, 3 * Pi / 2, { 0, 0, 1 } },
    GetAngleAxisCase{ "NegativeVector", { C4, 0, -S4, 0 }, Pi / 2, { 0, -1, 0 } },
    // Rounding can leave W just past 1 near the identity; that is no turn,
    // or a full one, not a NaN.
    GetAngleAxisCase{ "WJustAboveOne", { 1.0000001f, 1e-4f, 0, 0 }, 0.0, { 1, 0, 0 } },
    GetAngleAxisCase{ "WJustBelowMinusOne", { -1.0000001f, 0, 0, 1e-4f }, 2 * Pi, { 0, 0, 1 } }),
  [](const ::testing::TestParamInfo<GetAngleAxisCase>& info) { return info.param.Name; });

TEST(Quaternion, SmallRotationKeepsItsAxis)
{
  // A vector part of squared length 1e-6 still defines the axis; the angle
  // from 2 acos(w) is coarse this close to w = 1.
  float angle = 0.0f;
  float axis[3];
  RotationAbout(0.002f, 0, 1, 0).GetAngleAxis(angle, axis);
  EXPECT_NEAR(angle, 0.002, 2e-4);
  EXPECT_NEAR(axis[0], 0.0, Rounding);
  EXPECT_NEAR(axis[1], 1.0, Rounding);
  EXPECT_NEAR(axis[2], 0.0, Rounding);
}

TEST(Quaternion, AngleAxisRoundTripNormalisesTheAngle)
{
  // Negative angles come back positive about the opposite axis.
  for (float angle : { -0.3f, -1.570795f, -3.0f, 2.0f, 4.0f })
  {
    float back = 0.0f;
    float axis[3];
    RotationAbout(angle, 0, 0, 1).GetAngleAxis(back, axis);
    EXPECT_NEAR(back, std::fabs(angle), 8 * FLT_EPSILON * 4) << angle;
    EXPECT_NEAR(axis[2], angle < 0 ? -1.0 : 1.0, Rounding) << angle;
  }
}
