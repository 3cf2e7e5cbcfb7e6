#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/SaveStream.h"

namespace tessel {
namespace {

std::uint64_t Bits(double d) {
  std::uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

TEST(SaveStream, ValuesComeBackBitForBitAndDamagedInputIsRefusedWithoutOverrun) {
  const double kOdd[] = {-0.0, std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN(), 1e-310};
  SaveWriter w;
  w.U8(7);
  w.Bool(true);
  w.I32(-5);
  w.U64(0x0102030405060708ull);
  for (double d : kOdd) w.F64(d);
  w.String(std::string("a\0b", 3));
  w.U32(3);  // a count of three items of 4 bytes each, but only 2 bytes follow
  w.U8(1);
  w.U8(2);

  SaveReader r(w.Data());
  EXPECT_EQ(r.U8(), 7);
  EXPECT_TRUE(r.Bool());
  EXPECT_EQ(r.I32(), -5);
  EXPECT_EQ(r.U64(), 0x0102030405060708ull);
  for (double d : kOdd) EXPECT_EQ(Bits(r.F64()), Bits(d));
  EXPECT_EQ(r.String(), std::string("a\0b", 3));
  EXPECT_TRUE(r.Ok());
  EXPECT_EQ(r.Count(4), 0u);
  EXPECT_FALSE(r.Ok());
  EXPECT_EQ(r.Error(), "a count is larger than the file could hold");
  EXPECT_EQ(r.U64(), 0u);  // failed for good, even with bytes left

  // A string whose length runs past the end, and a flag that is neither 0 nor 1.
  const std::uint8_t long_string[] = {200, 0, 0, 0, 'x'};
  SaveReader s(long_string, sizeof long_string);
  EXPECT_EQ(s.String(), "");
  EXPECT_EQ(s.Error(), "the file ends too early");
  const std::uint8_t bad_flag[] = {2};
  SaveReader f(bad_flag, 1);
  f.Bool();
  EXPECT_FALSE(f.Ok());
}

}  // namespace
}  // namespace tessel
