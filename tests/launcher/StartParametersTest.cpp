// Window size, video and input flags and the adapter derived from the options.
#include "CommandLine.h"
#include "StartParameters.h"

#include "engine/base/VStrDictionary.h"

#include <gtest/gtest.h>

namespace {
struct StartCase {
  const char* name;
  std::vector<std::pair<const char*, const char*>> options;
  int adapterCount;
  int width, height, videoFlags, inputFlags, adapter;
  friend void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }
};

class StartParameterCases : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartParameterCases, DerivedFromTheDictionary) {
  const StartCase& c = GetParam();
  VStrDictionary dict;
  SetDefaultOptions(dict);
  for (const auto& [key, value] : c.options) dict.Set(key, value);
  const StartParameters p = StartParameters::FromDictionary(dict, c.adapterCount);
  EXPECT_EQ(p.width, c.width);
  EXPECT_EQ(p.height, c.height);
  EXPECT_EQ(p.videoFlags, c.videoFlags);
  EXPECT_EQ(p.inputFlags, c.inputFlags);
  EXPECT_EQ(p.adapter, c.adapter);
}

INSTANTIATE_TEST_SUITE_P(
    Options, StartParameterCases,
    ::testing::Values(StartCase{"Defaults", {}, 1, 1280, 720, 0x8011, 0xD2, -1},
                      StartCase{"Resolution", {{"ResolutionX", "1024"}, {"ResolutionY", "768"}}, 1, 1024, 768, 0x8011, 0xD2, -1},
                      StartCase{"ZeroWidthKeepsDefault", {{"ResolutionX", "0"}}, 1, 1280, 720, 0x8011, 0xD2, -1},
                      StartCase{"TextWidthKeepsDefault", {{"ResolutionX", "wide"}}, 1, 1280, 720, 0x8011, 0xD2, -1},
                      StartCase{"EmptyHeightKeepsDefault", {{"ResolutionY", ""}}, 1, 1280, 720, 0x8011, 0xD2, -1},
                      StartCase{"NegativeSizeKeepsDefault", {{"ResolutionX", "-640"}, {"ResolutionY", "-480"}}, 1, 1280, 720, 0x8011, 0xD2, -1},
                      StartCase{"WindowedWithoutValue", {{"Windowed", ""}}, 1, 1280, 720, 0x8010, 0xD2, -1},
                      StartCase{"WindowedZeroStillWindowed", {{"Windowed", "0"}}, 1, 1280, 720, 0x8010, 0xD2, -1},
                      StartCase{"NoDirectInputMouse", {{"MouseUseDInput", "0"}}, 1, 1280, 720, 0x8011, 0x52, -1},
                      StartCase{"MouseCaptureChangesNothing", {{"MouseCapture", "0"}}, 1, 1280, 720, 0x8011, 0xD2, -1},
                      StartCase{"AdapterZeroKeepsIndex", {{"Adapter", "0"}}, 3, 1280, 720, 0x8011, 0xD2, -1},
                      StartCase{"SecondAdapter", {{"Adapter", "1"}}, 3, 1280, 720, 0x8011, 0xD2, 1},
                      StartCase{"AdapterBeyondCount", {{"Adapter", "3"}}, 3, 1280, 720, 0x8011, 0xD2, -1},
                      StartCase{"NegativeAdapter", {{"Adapter", "-1"}}, 3, 1280, 720, 0x8011, 0xD2, -1}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });
}  // namespace
