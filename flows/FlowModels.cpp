#include "flows/FlowModels.h"

#include "core/ModelKind.h"

namespace vortiquo {

// The flows' loops are compiled here, once each.
constinit const Model ConvectionFlow = modelOfKind<ConvectionKind>();
constinit const Model SpiralFlow = modelOfKind<SpiralKind>();

}  // namespace vortiquo
