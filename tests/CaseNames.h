// Test names for table-driven tests whose cases carry a description.

#ifndef CaseNames_h
#define CaseNames_h

#include <gtest/gtest.h>

#include <cctype>
#include <string>

/**
 * The name of a parameterised test's case from its Name, a description:
 * letters and digits kept, everything else an underscore.
 */
template <typename TCase>
std::string CaseName(const ::testing::TestParamInfo<TCase>& info)
{
  std::string name;
  for (const char* p = info.param.Name; *p; ++p)
  {
    name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  }
  return name;
}

#endif
