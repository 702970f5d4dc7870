#include "analysis/PlaneKernels.h"

#include "analysis/PlaneKinds.h"

namespace vortiquo {

namespace {

using RowKernel = bool (*)(const PlaneRow& row, const AnalysisControl& control);

// Each model's kind, with a row kernel per path compiled from it.
struct PlaneKernels {
    const Model* model;
    RowKernel paths[3];  // indexed by PlanePath
};

template <class Kind>
constexpr PlaneKernels kernelsOf(const Model& model)
{
    return {&model, {planeRowInScalar<Kind>, planeRowInAvx2<Kind>, planeRowInAvx512<Kind>}};
}

const PlaneKernels KernelTable[] = {
    kernelsOf<ConvectionPlane>(ConvectionFlow),
    kernelsOf<SpiralPlane>(SpiralFlow),
    kernelsOf<RecurrencePlane>(RecurrenceMap),
    kernelsOf<QuadraticPlane>(QuadraticMap),
};

const PlaneKernels* kernelsFor(const Model& model)
{
    for (const PlaneKernels& row : KernelTable)
        if (row.model == &model)
            return &row;
    return nullptr;
}

std::vector<PlanePath> supportedPaths()
{
    std::vector<PlanePath> paths{PlanePath::Scalar};
#if defined(__x86_64__)
    // The checks include the operating system's saving of the wider registers.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2"))
        paths.push_back(PlanePath::Avx2);
    if (__builtin_cpu_supports("avx512f"))
        paths.push_back(PlanePath::Avx512);
#endif
    return paths;
}

bool available(PlanePath path)
{
    for (PlanePath supported : availablePlanePaths())
        if (supported == path)
            return true;
    return false;
}

}  // namespace

const char* planePathName(PlanePath path)
{
    switch (path) {
    case PlanePath::Avx2: return "AVX2";
    case PlanePath::Avx512: return "AVX-512";
    case PlanePath::Scalar: break;
    }
    return "scalar";
}

const std::vector<PlanePath>& availablePlanePaths()
{
    static const std::vector<PlanePath> paths = supportedPaths();
    return paths;
}

PlanePath fastestPlanePath() { return availablePlanePaths().back(); }

bool hasPlaneKernels(const Model& model) { return kernelsFor(model) != nullptr; }

bool computePlaneRow(const Model& model, const PlaneRow& row, PlanePath path, const AnalysisControl& control)
{
    const PlaneKernels* kernels = kernelsFor(model);
    if (kernels == nullptr)
        return false;
    const PlanePath taken = available(path) ? path : PlanePath::Scalar;
    return kernels->paths[static_cast<int>(taken)](row, control);
}

}  // namespace vortiquo
