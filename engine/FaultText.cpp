#include "engine/FaultText.h"

namespace vortiquo {

QString overflowText(std::int64_t step)
{
    return QStringLiteral("Overflow numerico al passo %1: il calcolo è stato interrotto.").arg(step);
}

QString singularText(std::int64_t step)
{
    return QStringLiteral("Jacobiano singolare al passo %1: un vettore tangente si è annullato e il calcolo è stato "
                          "interrotto.")
        .arg(step);
}

}  // namespace vortiquo
