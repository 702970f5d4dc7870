#include "maps/MapModels.h"

#include "core/ModelKind.h"

namespace vortiquo {

// The maps' loops are compiled here, once each.
constinit const Model RecurrenceMap = modelOfKind<RecurrenceKind>();
constinit const Model QuadraticMap = modelOfKind<QuadraticKind>();

}  // namespace vortiquo
