// The plane's rows in 4 lanes of 256 bits. Only the code between the
// target pragmas below may use AVX2: the rest of the program runs on any
// x86-64 processor, and this file's entry points are called only once the
// processor has been seen to support it (analysis/PlaneKernels.cpp).
// Everything compiled for AVX2 here has internal linkage (the lane traits
// are private to this file), so no inline function the other files share
// is ever replaced by a copy that needs it.

#include "analysis/PlaneKinds.h"

#if defined(__x86_64__)

#include <immintrin.h>

// GCC takes a target region; clang an attribute on every function in it.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace vortiquo {
namespace {

struct Avx2Lanes {
    // __m256d without its may_alias, which a template argument cannot carry
    typedef double Vector __attribute__((vector_size(32)));
    static constexpr int Width = 4;
    static Vector load(const double* p) { return _mm256_load_pd(p); }
    static void store(double* p, Vector v) { _mm256_store_pd(p, v); }
    static Vector absolute(Vector v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }
    static Vector squareRoot(Vector v) { return _mm256_sqrt_pd(v); }
    static unsigned outside(Vector size)
    {
        const Vector inside = _mm256_and_pd(_mm256_cmp_pd(size, _mm256_set1_pd(1e-100), _CMP_GT_OQ),
                                            _mm256_cmp_pd(size, _mm256_set1_pd(1e100), _CMP_LT_OQ));
        return static_cast<unsigned>(_mm256_movemask_pd(inside)) ^ 0xFu;
    }
};

}  // namespace
}  // namespace vortiquo

#include "analysis/PlaneLanes.h"

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace vortiquo {

template <class Kind>
bool planeRowInAvx2(const PlaneRow& row, const AnalysisControl& control)
{
    return planeLanes::laneRow<Avx2Lanes, Kind, planeLanes::groupsFor<Kind>>(row, control);
}

#else

namespace vortiquo {

template <class Kind>
bool planeRowInAvx2(const PlaneRow& row, const AnalysisControl& control)
{
    return planeRowInScalar<Kind>(row, control);
}

#endif

template bool planeRowInAvx2<RecurrencePlane>(const PlaneRow&, const AnalysisControl&);
template bool planeRowInAvx2<QuadraticPlane>(const PlaneRow&, const AnalysisControl&);
template bool planeRowInAvx2<ConvectionPlane>(const PlaneRow&, const AnalysisControl&);
template bool planeRowInAvx2<SpiralPlane>(const PlaneRow&, const AnalysisControl&);

}  // namespace vortiquo
