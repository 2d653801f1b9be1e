#include "Unavailable.h"

#include <gtest/gtest-spi.h>

#include <optional>
#include <string>

#include "ScopedEnvironment.h"

namespace {

// A volume as the fixtures report it.
struct Volume_t {
  bool mounted;
  bool Mounted() const { return mounted; }
  std::string Why() const { return "a tmpfs cannot be mounted here"; }
};

// What a test that needs the volume records, and "went on" when it did.
std::string Outcome(const Volume_t& volume)
{
  testing::TestPartResultArray results;
  std::string outcome;
  {
    testing::ScopedFakeTestPartResultReporter reporter(
        testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    [&] {
      VTEST_REQUIRE_MOUNTED(volume);
      outcome = "went on";
    }();
  }
  for (int i = 0; i < results.size(); ++i) {
    const testing::TestPartResult& result = results.GetTestPartResult(i);
    outcome += (result.skipped()          ? "skipped: "
                : result.fatally_failed() ? "failed: "
                                          : "other: ") +
               std::string(result.message());
  }
  return outcome;
}

TEST(Unavailable, ASkipOnlyOutsideCI)
{
  struct Case {
    bool mounted;
    std::optional<std::string> ci;
    std::string outcome;
  };
  const Case cases[] = {
      {true, "true", "went on"},
      {false, std::nullopt, "skipped: a tmpfs cannot be mounted here"},
      {false, "false", "skipped: a tmpfs cannot be mounted here"},
      {false, "true", "failed: Failed\nCI must allow what this test needs (as root): a tmpfs cannot be mounted here"},
  };
  for (const Case& c : cases) {
    vtest::ScopedEnvironment environment;
    if (c.ci)
      environment.Set("CI", *c.ci);
    else
      environment.Clear("CI");
    EXPECT_EQ(Outcome(Volume_t{c.mounted}), c.outcome) << "CI=" << c.ci.value_or("(unset)");
  }
}

}  // namespace
