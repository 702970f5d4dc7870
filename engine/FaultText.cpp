#include "engine/FaultText.h"

namespace vortiquo {

QString overflowText(std::int64_t step)
{
    return QStringLiteral("Overflow numerico al passo %1: il calcolo è stato interrotto.").arg(step);
}

}  // namespace vortiquo
