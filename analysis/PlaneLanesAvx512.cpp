// The plane's rows in 8 lanes of 512 bits. Only the code between the
// target pragmas below may use AVX-512: the rest of the program runs on any
// x86-64 processor, and this file's entry points are called only once the
// processor has been seen to support it (analysis/PlaneKernels.cpp).
// Everything compiled for AVX-512 here has internal linkage (the lane traits
// are private to this file), so no inline function the other files share
// is ever replaced by a copy that needs it.

#include "analysis/PlaneKinds.h"

#if defined(__x86_64__)

#include <immintrin.h>

// GCC takes a target region; clang an attribute on every function in it.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

namespace vortiquo {
namespace {

struct Avx512Lanes {
    // __m512d without its may_alias, which a template argument cannot carry
    typedef double Vector __attribute__((vector_size(64)));
    static constexpr int Width = 8;
    static Vector load(const double* p) { return _mm512_load_pd(p); }
    static void store(double* p, Vector v) { _mm512_store_pd(p, v); }
    static Vector absolute(Vector v) { return _mm512_abs_pd(v); }
    // The masked form: the plain one starts from an undefined vector, which
    // GCC takes for an uninitialised one.
    static Vector squareRoot(Vector v) { return _mm512_maskz_sqrt_pd(0xFF, v); }
    static unsigned outside(Vector size)
    {
        const __mmask8 above = _mm512_cmp_pd_mask(size, _mm512_set1_pd(1e-100), _CMP_GT_OQ);
        return _mm512_mask_cmp_pd_mask(above, size, _mm512_set1_pd(1e100), _CMP_LT_OQ) ^ 0xFFu;
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
bool planeRowInAvx512(const PlaneRow& row, const AnalysisControl& control)
{
    return planeLanes::laneRow<Avx512Lanes, Kind, planeLanes::groupsFor<Kind>>(row, control);
}

#else

namespace vortiquo {

template <class Kind>
bool planeRowInAvx512(const PlaneRow& row, const AnalysisControl& control)
{
    return planeRowInScalar<Kind>(row, control);
}

#endif

template bool planeRowInAvx512<RecurrencePlane>(const PlaneRow&, const AnalysisControl&);
template bool planeRowInAvx512<QuadraticPlane>(const PlaneRow&, const AnalysisControl&);
template bool planeRowInAvx512<ConvectionPlane>(const PlaneRow&, const AnalysisControl&);
template bool planeRowInAvx512<SpiralPlane>(const PlaneRow&, const AnalysisControl&);

}  // namespace vortiquo
