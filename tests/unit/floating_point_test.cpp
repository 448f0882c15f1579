// The build's floating-point settings, as the shipped 32-bit exe, the 64-bit builds and the native tests
// must share them: double rounds every operation to IEEE double (SSE2, never an 80-bit x87 register in
// between), and long double is the 80-bit x87 extended type, on the main thread and on any thread the
// thread library starts. Each input is volatile, so the compiler cannot work a result out at compile
// time.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <ios>
#include <limits>
#include <thread>

namespace {

volatile double onePlus2m30 = 0x1.00000004p0; // 1 + 2^-30
volatile double minusOnePlus2m29 = -0x1.00000008p0;
volatile double one = 1.0, three = 3.0, fortySeven = 47.0, fortyNine = 49.0;
volatile double nearMax = 0x1p1023, nearMin = 0x1p-1022;

volatile long double oneExtended = 1.0L, twoToMinus63 = 0x1p-63L;
volatile long double extendedOnePlus2m30 = 0x1.00000004p0L, extendedMinusOnePlus2m29 = -0x1.00000008p0L;

// The low bits that only an 80-bit register keeps, seen once each value has been stored as long double.
struct ExtendedResults {
    long double Sum;
    long double ProductSum;
};

ExtendedResults ComputeExtended() {
    return {oneExtended + twoToMinus63, extendedOnePlus2m30 * extendedOnePlus2m30 + extendedMinusOnePlus2m29};
}

} // namespace

TEST(FloatingPoint, DoubleRoundsEveryOperationToDouble) {
    EXPECT_EQ(FLT_EVAL_METHOD, 0);
    // (1 + 2^-30)^2 = 1 + 2^-29 + 2^-60: the 2^-60 is below double's last bit and goes at the
    // multiplication; a product kept at 80 bits would leave 2^-60 after the addition.
    const double productSum = onePlus2m30 * onePlus2m30 + minusOnePlus2m29;
    EXPECT_EQ(productSum, 0.0);
    // A division chain: 1/49 and 3/47 rounded to double, times the divisor again, miss 1 and 3 by
    // one last bit; kept at 80 bits in between, they would come back exactly.
    const double backToOne = one / fortyNine * fortyNine;
    EXPECT_EQ(backToOne, 0x1.fffffffffffffp-1) << std::hexfloat << backToOne;
    const double backToThree = three / fortySeven * fortySeven;
    EXPECT_EQ(backToThree, 0x1.7ffffffffffffp+1) << std::hexfloat << backToThree;
}

TEST(FloatingPoint, DoubleOverflowsAndUnderflowsAtEachOperation) {
    // x87 registers have a 15-bit exponent: there 2^1023 * 4 / 8 would come back as 2^1022.
    const double overflowed = nearMax * 4.0 / 8.0;
    EXPECT_TRUE(std::isinf(overflowed)) << overflowed;
    // 2^-1022 / 2^60 is 2^-1082, below the smallest subnormal double (2^-1074): zero, not 2^-1022 again.
    const double underflowed = nearMin / 0x1p60 * 0x1p60;
    EXPECT_EQ(underflowed, 0.0);
}

TEST(FloatingPoint, LongDoubleIsX87Extended) {
    EXPECT_EQ(std::numeric_limits<long double>::digits, 64);
    EXPECT_EQ(LDBL_MANT_DIG, 64);
    // At run time too: on Windows the x87 unit can be set to round to 53 bits, which would lose these.
    const ExtendedResults results = ComputeExtended();
    EXPECT_EQ(results.Sum, 0x1.0000000000000002p0L);
    EXPECT_EQ(results.ProductSum, 0x1p-60L);
}

TEST(FloatingPoint, LongDoubleIsX87ExtendedOnASecondThread) {
    // The tool runs on one thread; this checks the toolchain's thread start-up all the same. Windows
    // starts a bare thread with the x87 unit set to 53 bits, and only the thread library's start-up
    // sets it back to 64, so extended arithmetic on a thread of its own keeps its precision.
    ExtendedResults results{};
    std::thread second([&results] { results = ComputeExtended(); });
    second.join();
    EXPECT_EQ(results.Sum, 0x1.0000000000000002p0L);
    EXPECT_EQ(results.ProductSum, 0x1p-60L);
}
