// Tests of the deformation data reader: well-formed and malformed files, the
// values a configured shape transform receives, and the file in the working
// directory.
#include "DeformationData.h"

#include "vtkDataArray.h"
#include "vtkNew.h"
#include "vtkPoints.h"
#include "vtkShapeTransform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
// One control point at the origin, R = 2, basis weight row (4, 0, 0) and
// constant term (0.5, 0, 0): the point (1, 0, 0) bends to (-0.5, 0, 0) at
// amplitude 1.
const char* const WorkedExample = "[2]\n"
                                  "[1]\n"
                                  "0 0 0\n"
                                  "[5]\n"
                                  "4 0 0\n"
                                  "0.5 0 0\n"
                                  "0 0 0\n"
                                  "0 0 0\n"
                                  "0 0 0\n"
                                  "[1]\n"
                                  "0\n";

// Two control points, rows in long notation, index entries swapped.
const char* const TwoPoints = "[1.5]\n"
                              "[2]\n"
                              "0.000000 0.000000 0.000000\n"
                              "1.000000 -2.000000 0.250000\n"
                              "[6]\n"
                              "1.000000 2.000000 3.000000\n"
                              "4.000000 5.000000 6.000000\n"
                              "0.100000 0.200000 0.300000\n"
                              "0.010000 0.000000 0.000000\n"
                              "0.000000 0.020000 0.000000\n"
                              "0.000000 0.000000 0.030000\n"
                              "[2]\n"
                              "1\n"
                              "0\n";

// The same values as TwoPoints, with the white space laid out differently.
const char* const TwoPointsSpread =
  "[1.5] [2] 0 0 0 1 -2\n0.25\n[6] 1 2\n3 4 5 6 0.1 0.2 0.3\t0.01 0 0 0\n0.02 0 0 0 0.03 [2] 1 0";

struct ReadResult
{
  DeformationDataOutcome Outcome;
  std::string Problem;
};

ReadResult ReadText(const std::string& text, vtkShapeTransform* transform, DeformationData& data)
{
  // fmemopen needs a buffer of at least one byte.
  std::string buffer = text.empty() ? std::string(1, '\0') : text;
  FILE* file = fmemopen(&buffer[0], text.size(), "r");
  if (!file)
  {
    ADD_FAILURE() << "fmemopen failed";
    return { DeformationDataOutcome::NoFile, "" };
  }
  const char* problem = "";
  const DeformationDataOutcome outcome = ReadDeformationData(file, transform, data, &problem);
  std::fclose(file);
  return { outcome, problem };
}

ReadResult ReadText(const std::string& text)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  return ReadText(text, transform, data);
}

// Output of one pass of the transform over the given points.
std::vector<double> Bend(
  vtkShapeTransform* transform, float amplitude, const std::vector<std::array<double, 3>>& points)
{
  vtkNew<vtkPoints> in;
  for (const auto& p : points)
  {
    in->InsertNextPoint(p.data());
  }
  vtkNew<vtkPoints> out;
  transform->SetAmplitude(amplitude);
  transform->TransformPoints(in, out);
  std::vector<double> coordinates;
  for (vtkIdType i = 0; i < out->GetNumberOfPoints(); ++i)
  {
    double p[3];
    out->GetPoint(i, p);
    coordinates.insert(coordinates.end(), p, p + 3);
  }
  return coordinates;
}

std::string WorkedExampleWith(const std::string& from, const std::string& to)
{
  std::string text = WorkedExample;
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

struct Case
{
  const char* Name;
  std::string Text;
  DeformationDataOutcome Outcome;
  const char* Problem; // part of the reported problem; "" when configured
};

TEST(DeformationData, OutcomeOfEachFile)
{
  using O = DeformationDataOutcome;
  const std::vector<Case> cases = {
    { "worked example", WorkedExample, O::Configured, "" },
    { "two points", TwoPoints, O::Configured, "" },
    { "blank lines between blocks",
      "[2]\n\n[1]\n\n\n0 0 0\n\n[5]\n4 0 0\n\n0.5 0 0\n0 0 0\n0 0 0\n0 0 0\n\n[1]\n\n0\n\n",
      O::Configured, "" },
    { "values spread over lines differently", TwoPointsSpread, O::Configured, "" },
    { "no control points", "[1]\n[0]\n[4]\n0 0 1\n0 0 0\n0 0 0\n0 0 0\n[0]\n", O::Configured, "" },
    { "content after the last block", std::string(WorkedExample) + "[7]\nnot read\n", O::Configured,
      "" },
    { "empty file", "", O::Malformed, "radius" },
    { "radius without brackets", WorkedExampleWith("[2]\n[1]", "2\n[1]"), O::Malformed,
      "radius is not a bracketed" },
    { "leading blank line", std::string("\n") + WorkedExample, O::Malformed,
      "radius is not a bracketed" },
    { "leading space", std::string(" ") + WorkedExample, O::Malformed,
      "radius is not a bracketed" },
    { "byte-order mark", std::string("\xEF\xBB\xBF") + WorkedExample, O::Malformed,
      "radius is not a bracketed" },
    { "count without brackets", WorkedExampleWith("[1]\n0 0 0", "1\n0 0 0"), O::Malformed,
      "number of control points is not" },
    { "M = N + 3", WorkedExampleWith("[5]", "[4]"), O::Malformed, "coefficient rows is not the" },
    { "M = N + 5", WorkedExampleWith("[5]", "[6]"), O::Malformed, "coefficient rows is not the" },
    { "K = N + 1", WorkedExampleWith("[1]\n0\n", "[2]\n0\n0\n"), O::Malformed,
      "index entries is not the" },
    { "control point missing its third number", WorkedExampleWith("0 0 0\n[5]", "0 0\n[5]"),
      O::Malformed, "control point is not" },
    { "coefficient row missing a number", WorkedExampleWith("0.5 0 0", "0.5 0"), O::Malformed,
      "coefficient row is not" },
    { "negative N", "[2]\n[-1]\n[3]\n0 0 0\n0 0 0\n0 0 0\n[-1]\n", O::Malformed, "negative" },
    { "huge N", WorkedExampleWith("[1]\n0 0 0", "[2000000000]\n0 0 0"), O::Malformed, "too short" },
    { "N beyond int", WorkedExampleWith("[1]\n0 0 0", "[99999999999999999999]\n0 0 0"),
      O::Malformed, "number of control points" },
    { "N one more than the file can hold", "[1]\n[3]\n0 0 0\n", O::Malformed, "too short" },
    { "radius zero", WorkedExampleWith("[2]\n[1]", "[0]\n[1]"), O::Malformed, "radius" },
    { "radius negative", WorkedExampleWith("[2]\n[1]", "[-2]\n[1]"), O::Malformed, "radius" },
    { "radius nan", WorkedExampleWith("[2]\n[1]", "[nan]\n[1]"), O::Malformed, "radius" },
    { "radius inf", WorkedExampleWith("[2]\n[1]", "[inf]\n[1]"), O::Malformed, "radius" },
    { "control point nan", WorkedExampleWith("0 0 0\n[5]", "0 nan 0\n[5]"), O::Malformed,
      "control point is not" },
    { "control point too large for a float", WorkedExampleWith("0 0 0\n[5]", "0 0 1e39\n[5]"),
      O::Malformed, "control point is not" },
    { "coefficient -inf", WorkedExampleWith("4 0 0", "4 -inf 0"), O::Malformed,
      "coefficient row is not" },
    { "coefficient infinity", WorkedExampleWith("0.5 0 0", "0.5 0 INFINITY"), O::Malformed,
      "coefficient row is not" },
    { "index entry N", WorkedExampleWith("[1]\n0\n", "[1]\n1\n"), O::Malformed,
      "not a basis weight row" },
    { "index entry negative", WorkedExampleWith("[1]\n0\n", "[1]\n-1\n"), O::Malformed,
      "not a basis weight row" },
    { "index entry an affine row", WorkedExampleWith("[1]\n0\n", "[1]\n4\n"), O::Malformed,
      "not a basis weight row" },
    { "index entry not a number", WorkedExampleWith("[1]\n0\n", "[1]\nx\n"), O::Malformed,
      "index entry is not" },
    // Whole numbers are read as %d reads them, and refused where they do not
    // fit an int.
    { "counts with a sign and spaces in their brackets",
      WorkedExampleWith("[1]\n0 0 0\n[5]", "[ +1]\n0 0 0\n[\n5]"), O::Configured, "" },
    { "index entry with a sign", WorkedExampleWith("[1]\n0\n", "[1]\n+0\n"), O::Configured, "" },
    { "M beyond int", WorkedExampleWith("[5]", "[4294967301]"), O::Malformed,
      "number of coefficient rows is not a bracketed" },
    { "K beyond int", WorkedExampleWith("[1]\n0\n", "[4294967297]\n0\n"), O::Malformed,
      "number of index entries is not a bracketed" },
    { "index entry beyond int", WorkedExampleWith("[1]\n0\n", "[1]\n4294967296\n"), O::Malformed,
      "index entry is not" },
    { "a sign alone", WorkedExampleWith("[1]\n0\n", "[1]\n-\n"), O::Malformed,
      "index entry is not" },
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.Name);
    const ReadResult result = ReadText(c.Text);
    EXPECT_EQ(result.Outcome, c.Outcome);
    EXPECT_NE(result.Problem.find(c.Problem), std::string::npos) << result.Problem;
  }
}

// Every proper prefix of a file, cut inside any block, is malformed, and the
// problem names the block where the file ends.
TEST(DeformationData, TruncatedInEveryBlockIsMalformed)
{
  const std::string text = TwoPoints;
  const std::string complete = text.substr(0, text.size() - 1); // without the last newline
  ASSERT_EQ(ReadText(complete).Outcome, DeformationDataOutcome::Configured);

  std::vector<std::string> problems;
  for (std::size_t length = 0; length < complete.size(); ++length)
  {
    const ReadResult result = ReadText(complete.substr(0, length));
    ASSERT_EQ(result.Outcome, DeformationDataOutcome::Malformed) << "length " << length;
    if (problems.empty() || problems.back() != result.Problem)
    {
      problems.push_back(result.Problem);
    }
  }
  // Cut late enough for the size check to pass, each block is the one that
  // fails to read.
  for (const char* block : { "radius", "number of control points", "too short",
         "control point is not", "coefficient row is not", "index entry is not" })
  {
    bool seen = false;
    for (const std::string& problem : problems)
    {
      seen = seen || problem.find(block) != std::string::npos;
    }
    EXPECT_TRUE(seen) << block;
  }
}

TEST(DeformationData, ConfiguresTheTransformWithTheFileValues)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  ASSERT_EQ(ReadText(TwoPoints, transform, data).Outcome, DeformationDataOutcome::Configured);

  EXPECT_EQ(data.Radius, 1.5f);
  ASSERT_EQ(data.ControlPoints->GetNumberOfPoints(), 2);
  double c[3];
  data.ControlPoints->GetPoint(1, c);
  EXPECT_EQ(c[0], 1.0);
  EXPECT_EQ(c[1], -2.0);
  EXPECT_EQ(c[2], 0.25);
  EXPECT_EQ(data.CoefficientsX, (std::vector<float>{ 1, 4, 0.1f, 0.01f, 0, 0 }));
  EXPECT_EQ(data.CoefficientsY, (std::vector<float>{ 2, 5, 0.2f, 0, 0.02f, 0 }));
  EXPECT_EQ(data.CoefficientsZ, (std::vector<float>{ 3, 6, 0.3f, 0, 0, 0.03f }));
  EXPECT_EQ(data.CoefficientIndex, (std::vector<int>{ 1, 0 }));
  ASSERT_NE(data.Locator, nullptr);

  // At the first control point (w = 1) it uses row 1 through the index; the
  // second control point lies beyond R.
  const std::vector<double> bent = Bend(transform, 1.0f, { { 0, 0, 0 }, { 5, 5, 5 } });
  EXPECT_NEAR(bent[0], -(4 + 0.1), 1e-6);
  EXPECT_NEAR(bent[1], -(5 + 0.2), 1e-6);
  EXPECT_NEAR(bent[2], -(6 + 0.3), 1e-6);
  EXPECT_EQ(std::vector<double>(bent.begin() + 3, bent.end()), (std::vector<double>{ 5, 5, 5 }));
}

TEST(DeformationData, LayoutOfTheWhiteSpaceDoesNotMatter)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData conventional;
  DeformationData spread;
  ASSERT_EQ(
    ReadText(TwoPoints, transform, conventional).Outcome, DeformationDataOutcome::Configured);
  ASSERT_EQ(
    ReadText(TwoPointsSpread, transform, spread).Outcome, DeformationDataOutcome::Configured);
  EXPECT_EQ(spread.Radius, conventional.Radius);
  for (vtkIdType i = 0; i < 2; ++i)
  {
    double a[3];
    double b[3];
    conventional.ControlPoints->GetPoint(i, a);
    spread.ControlPoints->GetPoint(i, b);
    EXPECT_TRUE(std::equal(a, a + 3, b)) << "control point " << i;
  }
  EXPECT_EQ(spread.CoefficientsX, conventional.CoefficientsX);
  EXPECT_EQ(spread.CoefficientsY, conventional.CoefficientsY);
  EXPECT_EQ(spread.CoefficientsZ, conventional.CoefficientsZ);
  EXPECT_EQ(spread.CoefficientIndex, conventional.CoefficientIndex);
}

TEST(DeformationData, WorkedExampleBendsAsComputedByHand)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  ASSERT_EQ(ReadText(WorkedExample, transform, data).Outcome, DeformationDataOutcome::Configured);
  const std::vector<double> bent = Bend(transform, 1.0f, { { 1, 0, 0 }, { 3, 0, 0 } });
  EXPECT_EQ(bent, (std::vector<double>{ -0.5, 0, 0, 3, 0, 0 }));
}

TEST(DeformationData, NoControlPointsLeavesEveryPointUnbent)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  ASSERT_EQ(ReadText("[1]\n[0]\n[4]\n7 7 7\n1 1 1\n1 1 1\n1 1 1\n[0]\n", transform, data).Outcome,
    DeformationDataOutcome::Configured);
  EXPECT_EQ(data.CoefficientsX.size(), 4u);
  EXPECT_TRUE(data.CoefficientIndex.empty());
  const std::vector<double> bent = Bend(transform, 1.0f, { { 0, 0, 0 }, { 0.5, -1, 2 } });
  EXPECT_EQ(bent, (std::vector<double>{ 0, 0, 0, 0.5, -1, 2 }));
}

TEST(DeformationData, MalformedFileLeavesTheTransformUnconfigured)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  ASSERT_EQ(ReadText(WorkedExampleWith("[1]\n0\n", "[1]\n1\n"), transform, data).Outcome,
    DeformationDataOutcome::Malformed);
  EXPECT_EQ(Bend(transform, 1.0f, { { 1, 0, 0 } }), (std::vector<double>{ 1, 0, 0 }));
}

TEST(DeformationData, HugeCountIsRejectedBeforeAnythingIsAllocated)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  const std::string text = "[1]\n[100000000]\n" + std::string(4096, '1');
  ASSERT_EQ(ReadText(text, transform, data).Outcome, DeformationDataOutcome::Malformed);
  EXPECT_EQ(data.CoefficientsX.capacity(), 0u);
  EXPECT_EQ(data.CoefficientIndex.capacity(), 0u);
  EXPECT_EQ(data.ControlPoints->GetData()->GetSize(), 0);
}

// A file as long as its count of control points needs, but holding nothing
// after the count: the arrays grow with what is read, so nothing is sized by
// the count.
TEST(DeformationData, PaddedFileAllocatesNothingForItsCount)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  const int n = 500;
  std::string text = "[1]\n[" + std::to_string(n) + "]\n";
  text.resize(text.size() + 7 * n + 18, '\0');
  const ReadResult result = ReadText(text, transform, data);
  ASSERT_EQ(result.Outcome, DeformationDataOutcome::Malformed);
  EXPECT_NE(result.Problem.find("control point is not"), std::string::npos) << result.Problem;
  EXPECT_EQ(data.CoefficientsX.capacity(), 0u);
  EXPECT_EQ(data.CoefficientIndex.capacity(), 0u);
  EXPECT_EQ(data.ControlPoints->GetData()->GetSize(), 0);
}

// The program reads "fish.trc" from its working directory; these tests run
// in a directory of their own.
class DeformationDataFileTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    char pattern[] = "/tmp/deformation-data-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    this->Directory = pattern;
    char* previous = getcwd(nullptr, 0);
    ASSERT_NE(previous, nullptr);
    this->Previous = previous;
    std::free(previous);
    ASSERT_EQ(chdir(this->Directory.c_str()), 0);
  }

  void TearDown() override
  {
    std::remove("fish.trc");
    EXPECT_EQ(chdir(this->Previous.c_str()), 0);
    rmdir(this->Directory.c_str());
  }

  static void WriteFile(const std::string& text)
  {
    FILE* file = std::fopen("fish.trc", "w");
    ASSERT_NE(file, nullptr);
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }

  std::string Directory;
  std::string Previous;
};

TEST_F(DeformationDataFileTest, MissingFileLeavesTheTransformUnconfigured)
{
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  EXPECT_EQ(ReadDeformationData(transform, data), DeformationDataOutcome::NoFile);
  EXPECT_EQ(data.ControlPoints->GetNumberOfPoints(), 0);
  EXPECT_EQ(Bend(transform, 1.0f, { { 1, 0, 0 } }), (std::vector<double>{ 1, 0, 0 }));
}

TEST_F(DeformationDataFileTest, ReadsTheFileInTheWorkingDirectory)
{
  WriteFile(WorkedExample);
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  EXPECT_EQ(ReadDeformationData(transform, data), DeformationDataOutcome::Configured);
  EXPECT_EQ(Bend(transform, 1.0f, { { 1, 0, 0 } }), (std::vector<double>{ -0.5, 0, 0 }));
}

// A sparse file whose size covers a billion control points but that holds
// none: refused after reading what is there, without sizing anything by the
// count (which would take some 16 GB).
TEST_F(DeformationDataFileTest, SparseFileOfAHugeCountIsMalformed)
{
  WriteFile("[1]\n[1000000000]\n");
  ASSERT_EQ(truncate("fish.trc", 7000000100LL), 0);
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ReadDeformationData(transform, data), DeformationDataOutcome::Malformed);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(data.CoefficientsX.capacity(), 0u);
  EXPECT_EQ(data.ControlPoints->GetNumberOfPoints(), 0);
}

TEST_F(DeformationDataFileTest, MalformedFileIsReportedOnStandardError)
{
  WriteFile(WorkedExampleWith("[5]", "[4]"));
  vtkNew<vtkShapeTransform> transform;
  DeformationData data;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ReadDeformationData(transform, data), DeformationDataOutcome::Malformed);
  const std::string message = testing::internal::GetCapturedStderr();
  EXPECT_EQ(message.rfind("fish.trc: ", 0), 0u) << message;
  EXPECT_NE(message.find("coefficient rows"), std::string::npos) << message;
}
}
